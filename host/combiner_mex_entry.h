#pragma once
// The MEX entry shared by brellix and vantrix: a fixed number of file-name
// arguments, no result, one combining pass, and the host error raised only
// after every C++ object of the call is gone.

#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "avcombine/mux_audio_video.h"
#include "host/mex_args.h"
#include "mex.h"

namespace vt::host {

/// How one combiner is called from the host.
struct CombinerCall {
  const char* name;    ///< function name, prefix of the error identifiers
  const char* call;    ///< the call as the user writes it, e.g. "brellix(audio, video, output)"
  const char* usage;   ///< the call with a note on its arguments
  std::size_t nFiles;  ///< number of file-name arguments (1 to 3)
  /// The combining pass on the file names, in argument order.
  MuxResult (*combine)(const std::vector<std::string>& files);
};

/// Copies a file-name argument (a character row vector without zero
/// characters, checked by getString) into out and refuses an empty name. On
/// failure leaves a message naming the argument (what) in err.
inline bool getFileName(const mxArray* a, const char* what, std::string& out, std::string& err) {
  if (!getString(a, what, out, err)) return false;
  if (out.empty()) {
    err = std::string(what) + " is empty";
    return false;
  }
  return true;
}

/// Checks the call and combines; false with the error identifier suffix in
/// kind ("arguments" or "failed") and the message in err.
inline bool runCombiner(const CombinerCall& c, int nlhs, int nrhs, const mxArray* prhs[],
                        std::string& kind, std::string& err) {
  static constexpr const char* kWhat[] = {"the audio file name (argument 1)",
                                          "the video file name (argument 2)",
                                          "the output file name (argument 3)"};
  kind = "arguments";
  if (nrhs != static_cast<int>(c.nFiles)) {
    err = "expected " + std::to_string(c.nFiles) + " arguments, got " + std::to_string(nrhs) +
          "; usage: " + c.usage;
    return false;
  }
  if (nlhs > 0) {
    err = std::string("returns no value; call it as ") + c.call;
    return false;
  }
  std::vector<std::string> files(c.nFiles);
  for (std::size_t k = 0; k < c.nFiles; ++k) {
    if (!getFileName(prhs[k], kWhat[k], files[k], err)) return false;
  }
  kind = "failed";
  const MuxResult r = c.combine(files);
  if (!r) err = r.message;
  return r.ok;
}

/// The whole mexFunction of a combiner: on failure raises the host error
/// "<name>:arguments" or "<name>:failed" with a message naming the file and
/// the reason, from host-owned copies once the call's C++ objects are gone.
inline void combinerMexFunction(const CombinerCall& c, int nlhs, int nrhs, const mxArray* prhs[]) {
  char* id = nullptr;
  char* msg = nullptr;
  {
    std::string kind, err;
    bool ok = false;
    try {
      ok = runCombiner(c, nlhs, nrhs, prhs, kind, err);
    } catch (const std::exception& e) {  // out of memory reading the arguments
      kind = "failed";
      err = e.what();
    }
    if (!ok) {
      const std::string fullId = std::string(c.name) + ":" + kind;
      id = static_cast<char*>(mxCalloc(fullId.size() + 1, 1));
      msg = static_cast<char*>(mxCalloc(err.size() + 1, 1));
      std::memcpy(id, fullId.data(), fullId.size());
      std::memcpy(msg, err.data(), err.size());
    }
  }
  if (msg != nullptr) mexErrMsgIdAndTxt(id, "%s", msg);
}

}  // namespace vt::host
