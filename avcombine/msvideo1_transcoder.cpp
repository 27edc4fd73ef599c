#include "avcombine/msvideo1_transcoder.h"

#include <climits>
#include <string>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vt::av {

namespace {

// "MSVC" is the code the combiner asks the writer for. The decoders that read
// Video 1 accept it as well as the equivalent "CRAM"; it is also the writer's
// standard code for the codec.
constexpr unsigned kMsVideo1Tag = MKTAG('M', 'S', 'V', 'C');

}  // namespace

MsVideo1Transcoder::MsVideo1Transcoder(MediaInput& in)
    : in_(in), inPacket_(makePacket()), decoded_(makeFrame()), converted_(makeFrame()) {
  const AVCodecParameters* par = in.stream()->codecpar;
  const std::string what = in.describe();

  const AVCodec* dec = avcodec_find_decoder(par->codec_id);
  if (dec == nullptr) {
    throw Error("cannot decode the video of " + what + ": no decoder for codec \"" +
                avcodec_get_name(par->codec_id) + "\"");
  }
  decoder_.reset(avcodec_alloc_context3(dec));
  if (!decoder_) throw Error("out of memory opening the video decoder");
  int rc = avcodec_parameters_to_context(decoder_.get(), par);
  if (rc >= 0) {
    decoder_->pkt_timebase = in.stream()->time_base;
    rc = avcodec_open2(decoder_.get(), dec, nullptr);
  }
  if (rc < 0) throw Error("cannot decode the video of " + what + ": " + errorText(rc));

  const int w = par->width;
  const int h = par->height;
  if (w <= 0 || h <= 0 || w % 4 != 0 || h % 4 != 0) {
    throw Error("cannot encode the video of " + what + " with Microsoft Video 1: its frame size " +
                std::to_string(w) + "x" + std::to_string(h) +
                " is not a multiple of 4 pixels in both directions");
  }

  const AVCodec* enc = avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1);
  if (enc == nullptr) throw Error("the Microsoft Video 1 encoder (msvideo1) is not available");
  encoder_.reset(avcodec_alloc_context3(enc));
  if (!encoder_) throw Error("out of memory opening the Microsoft Video 1 encoder");
  encoder_->width = w;
  encoder_->height = h;
  encoder_->pix_fmt = AV_PIX_FMT_RGB555LE;  // the encoder's only input format
  encoder_->time_base = videoTimeBase(in);  // one tick per frame period, as the input
  encoder_->framerate = in.stream()->avg_frame_rate;
  encoder_->sample_aspect_ratio = par->sample_aspect_ratio;
  // Data-rate intent of 256 bytes/s: far below what any Video 1 stream reaches
  // (one 64x48 key frame alone is about 700 bytes). The encoder has no rate
  // control and no quality setting: it compares each 4x4 block with the previous
  // picture against a fixed error threshold and codes unchanged blocks as skips.
  // Its one compression handle is the key-frame distance keyint_min; at its
  // maximum only the first frame is coded whole and every later frame codes only
  // changed blocks: the smallest stream the encoder can produce. The input
  // stream's own quality setting has no counterpart in this encoder.
  encoder_->keyint_min = INT_MAX;
  rc = avcodec_open2(encoder_.get(), enc, nullptr);
  if (rc < 0) {
    throw Error("cannot open the Microsoft Video 1 encoder for " + what + ": " + errorText(rc));
  }

  converted_->format = AV_PIX_FMT_RGB555LE;
  converted_->width = w;
  converted_->height = h;
  rc = av_frame_get_buffer(converted_.get(), 0);
  if (rc < 0) throw Error("out of memory allocating a video frame");
}

void MsVideo1Transcoder::configure(AVStream* out, const AVOutputFormat*) const {
  const int rc = avcodec_parameters_from_context(out->codecpar, encoder_.get());
  if (rc < 0) throw Error("cannot set up the Microsoft Video 1 stream: " + errorText(rc));
  out->codecpar->codec_tag = kMsVideo1Tag;
  out->time_base = encoder_->time_base;
  out->avg_frame_rate = in_.stream()->avg_frame_rate;
  out->sample_aspect_ratio = in_.stream()->sample_aspect_ratio;
}

bool MsVideo1Transcoder::decodeNext() {
  for (;;) {
    int rc = avcodec_receive_frame(decoder_.get(), decoded_.get());
    if (rc == 0) return true;
    if (rc == AVERROR_EOF) return false;
    if (rc != AVERROR(EAGAIN)) {
      throw Error("cannot decode the video of " + in_.describe() + ": " + errorText(rc));
    }
    if (decoderDraining_) return false;
    if (!in_.read(inPacket_.get())) {
      decoderDraining_ = true;
      rc = avcodec_send_packet(decoder_.get(), nullptr);  // drain delayed frames
    } else if (inPacket_->size == 0) {
      // An empty chunk repeats the previous picture; the writer restores the gap
      // from the timestamps, and an empty packet would end the decoder's input.
      continue;
    } else {
      rc = avcodec_send_packet(decoder_.get(), inPacket_.get());
    }
    if (rc < 0 && rc != AVERROR_EOF) {
      throw Error("cannot decode the video of " + in_.describe() + ": " + errorText(rc));
    }
  }
}

void MsVideo1Transcoder::convert() {
  const AVFrame* f = decoded_.get();
  const auto format = static_cast<AVPixelFormat>(f->format);
  if (!scaler_ || f->width != scaledWidth_ || f->height != scaledHeight_ ||
      format != scaledFormat_) {
    // The full-range "J" formats of JPEG-style decoders are the plain YUV
    // layouts with luma 0..255; the converter wants the layout and the range
    // given separately.
    AVPixelFormat layout = format;
    bool fullRange = f->color_range == AVCOL_RANGE_JPEG;
    switch (format) {
      case AV_PIX_FMT_YUVJ420P:
        layout = AV_PIX_FMT_YUV420P;
        fullRange = true;
        break;
      case AV_PIX_FMT_YUVJ422P:
        layout = AV_PIX_FMT_YUV422P;
        fullRange = true;
        break;
      case AV_PIX_FMT_YUVJ444P:
        layout = AV_PIX_FMT_YUV444P;
        fullRange = true;
        break;
      case AV_PIX_FMT_YUVJ440P:
        layout = AV_PIX_FMT_YUV440P;
        fullRange = true;
        break;
      case AV_PIX_FMT_YUVJ411P:
        layout = AV_PIX_FMT_YUV411P;
        fullRange = true;
        break;
      default:
        break;
    }
    // Same picture size: only the pixel format changes, so the filter matters
    // only for chroma upsampling, far finer than Video 1's two colours per 4x4
    // block. The fast bilinear path also avoids asking for full-resolution
    // chroma, which the converter cannot give to RGB555 (and says so).
    scaler_.reset(sws_getContext(f->width, f->height, layout, converted_->width, converted_->height,
                                 AV_PIX_FMT_RGB555LE, SWS_FAST_BILINEAR, nullptr, nullptr,
                                 nullptr));
    if (!scaler_) {
      const char* name = av_get_pix_fmt_name(format);
      throw Error("cannot convert the pictures of " + in_.describe() + " (pixel format " +
                  (name ? name : "unknown") + ") to RGB555");
    }
    if (fullRange) {
      int* inv = nullptr;
      int* table = nullptr;
      int srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
      sws_getColorspaceDetails(scaler_.get(), &inv, &srcRange, &table, &dstRange, &brightness,
                               &contrast, &saturation);
      sws_setColorspaceDetails(scaler_.get(), inv, 1, table, dstRange, brightness, contrast,
                               saturation);
    }
    scaledWidth_ = f->width;
    scaledHeight_ = f->height;
    scaledFormat_ = format;
  }
  int rc = av_frame_make_writable(converted_.get());
  if (rc < 0) throw Error("out of memory converting a video frame");
  rc = sws_scale(scaler_.get(), f->data, f->linesize, 0, f->height, converted_->data,
                 converted_->linesize);
  if (rc < 0) throw Error("cannot convert a picture of " + in_.describe() + ": " + errorText(rc));

  // Keep each picture on its own frame tick; pictures without a time follow
  // their predecessor.
  int64_t pts = f->best_effort_timestamp;
  if (pts != AV_NOPTS_VALUE) pts = av_rescale_q(pts, in_.stream()->time_base, encoder_->time_base);
  if (lastPts_ != AV_NOPTS_VALUE && (pts == AV_NOPTS_VALUE || pts <= lastPts_)) pts = lastPts_ + 1;
  if (pts == AV_NOPTS_VALUE) pts = 0;
  lastPts_ = pts;
  converted_->pts = pts;
  av_frame_unref(decoded_.get());
}

bool MsVideo1Transcoder::next(AVPacket* pkt) {
  for (;;) {
    int rc = avcodec_receive_packet(encoder_.get(), pkt);
    if (rc == 0) return true;
    if (rc == AVERROR_EOF) return false;
    if (rc != AVERROR(EAGAIN) || encoderDraining_) {
      throw Error("cannot encode the video of " + in_.describe() + ": " + errorText(rc));
    }
    if (decodeNext()) {
      convert();
      rc = avcodec_send_frame(encoder_.get(), converted_.get());
    } else {
      encoderDraining_ = true;
      rc = avcodec_send_frame(encoder_.get(), nullptr);
    }
    if (rc < 0) throw Error("cannot encode the video of " + in_.describe() + ": " + errorText(rc));
  }
}

}  // namespace vt::av
