// Manifest lines, metadata rows, the worker pool and leftovers of killed writers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "corpus/manifest.h"
#include "corpus/metadata.h"
#include "corpus/metadata_log.h"
#include "corpus/utterance_job.h"
#include "corpus/worker_pool.h"
#include "fileio/staged_output.h"
#include "synth/analysis_commands.h"

namespace vt {
namespace {

TEST(Manifest, EveryLineIsAnUtteranceOrAReasonWhyNot) {
  const Manifest m = parseManifest(
      "# comment\n"
      "{\"id\": \"a\", \"score\": \"s/a.json\", \"seed\": 4294967295}\n"
      "\n"
      "{\"id\": \"b\", \"score\": {\"nss\": 4}, \"output\": \"b2.wav\", \"_note\": 1}\r\n"
      "{\"id\": \"a\", \"score\": \"x.json\"}\n"
      "{\"id\": \"c\", \"score\": \"x.json\", \"output\": \"b2.wav\"}\n"
      "{\"id\": \"../d\", \"score\": \"x.json\"}\n"
      "{\"id\": \".d\", \"score\": \"x.json\"}\n"
      "{\"id\": \"e\", \"score\": \"x.json\", \"seed\": 4294967296}\n"
      "{\"id\": \"f\", \"score\": \"x.json\", \"seed\": -1}\n"
      "{\"id\": \"g\", \"score\": \"x.json\", \"output\": \"metadata.jsonl\"}\n"
      "{\"id\": \"h\", \"score\": 3}\n"
      "{\"id\": \"i\", \"score\": \"x.json\", \"speed\": 2}\n"
      "[1, 2\n",
      "/corpus");
  ASSERT_EQ(m.entries.size(), 12u);
  const ManifestEntry& a = m.entries[0];
  EXPECT_EQ(a.line, 2u);
  EXPECT_EQ(a.scorePath, "/corpus/s/a.json");
  EXPECT_EQ(a.seed, 4294967295u);
  EXPECT_EQ(a.output, "a.wav");
  const ManifestEntry& b = m.entries[1];
  EXPECT_TRUE(b.error.empty()) << b.error;
  EXPECT_EQ(b.scoreText, "{\"nss\":4}");
  EXPECT_EQ(b.output, "b2.wav");
  const char* expected[] = {"earlier line",
                            "written by an earlier line",
                            "without directories",
                            "reserved for unfinished",
                            "0 to 4294967295",
                            "0 to 4294967295",
                            "reserved for the metadata",
                            "file name or a score object",
                            "unknown field \"speed\"",
                            "malformed JSON"};
  for (std::size_t i = 2; i < m.entries.size(); ++i) {
    const ManifestEntry& e = m.entries[i];
    EXPECT_EQ(e.index, i);
    EXPECT_NE(e.error.find(expected[i - 2]), std::string::npos) << i << ": " << e.error;
    EXPECT_TRUE(e.output.empty()) << "a refused line names no output";
  }
  EXPECT_TRUE(m.entries[2].id.empty()) << "a repeated id belongs to its first line";
}

TEST(Metadata, RowsSurviveTheirLineAndTornLinesArePassedOver) {
  MetadataRow r;
  r.index = 3;
  r.line = 5;
  r.id = "caf\xc3\xa9";
  r.ok = true;
  r.output = "x.wav";
  r.samples = 7001;
  r.fs_Hz = 10000;
  r.duration_s = 0.7001;
  r.peak = 1.1476486921310425;
  r.rms = 0.1 + 0.2;
  r.cpu_s = 0.25;
  r.scoreHash = std::string(64, 'a');
  r.seed = 7;
  r.version = "1.2.3";
  MetadataRow back;
  const std::string line = metadataLine(r);
  ASSERT_TRUE(parseMetadataLine(line.substr(0, line.size() - 1), back));
  EXPECT_EQ(back, r);
  MetadataRow failed;
  failed.error = "bad \xff byte";  // invalid UTF-8 from a file name
  ASSERT_TRUE(parseMetadataLine(metadataLine(failed), back));
  EXPECT_FALSE(back.ok);
  EXPECT_FALSE(back.seed);

  const auto dir = std::filesystem::temp_directory_path() / "vt_corpus_metadata_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "metadata.jsonl").string();
  writeMetadataFile(path, {r, failed});
  {
    std::ofstream torn(path, std::ios::app);
    torn << line.substr(0, 40);  // a line cut short by a crash
  }
  EXPECT_EQ(readMetadataFile(path), (std::vector<MetadataRow>{r, back}));
  EXPECT_TRUE(readMetadataFile((dir / "none.jsonl").string()).empty());
  std::filesystem::remove_all(dir);
}

TEST(WorkerPool, EveryIndexRunsOnceAndStopEndsTheRun) {
  for (unsigned workers : {1u, 2u, 7u}) {
    std::vector<std::atomic<int>> runs(101);
    runOnWorkers(runs.size(), workers, [&](std::size_t i) { ++runs[i]; });
    for (const auto& n : runs) ASSERT_EQ(n, 1) << workers << " workers";
  }
  std::stop_source stop;
  std::atomic<int> ran{0};
  runOnWorkers(
      1000, 2,
      [&](std::size_t i) {
        if (++ran, i == 10) stop.request_stop();
      },
      stop.get_token());
  EXPECT_LT(ran, 1000);
}

TEST(StagedOutput, TemporaryNamesLeadBackToTheirOutput) {
  const auto dir = std::filesystem::temp_directory_path() / "vt_corpus_staged_test";
  std::filesystem::create_directories(dir);
  const std::string final = (dir / "u001.wav").string();
  {
    StagedOutput staged(final);
    EXPECT_EQ(stagedFinalName(std::filesystem::path(staged.tempName()).filename().string()),
              "u001.wav");
  }
  EXPECT_EQ(stagedFinalName("u001.wav"), "");
  EXPECT_EQ(stagedFinalName(".u001.wav.ABCDEFGH.part"), "");  // not a suffix the writer makes
  EXPECT_EQ(stagedFinalName(".x.abc.part"), "");
  EXPECT_EQ(signalFileName("a.b.wav", "Ug"), "a.b.Ug.wav");
  std::filesystem::remove_all(dir);
}

std::string readAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Ground truth beside the audio: the batch stores what `quorvel tracks` makes
// of the same score, byte for byte; an utterance whose score has no labels
// fails with --textgrid and leaves no file at all.
TEST(UtteranceJob, TracksAndTextGridBesideTheAudioAreThoseOfTheTracksCommand) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vt_batch_tracks_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "out");
  std::string score = readAll(fs::path(VT_SOURCE_DIR) / "examples" / "asa.json");
  const std::string unlabelled = score;
  score.insert(score.rfind('}'), R"(, "labels": ["a", "a-s", "s", "s", "s-a", "a"])");
  std::ofstream(dir / "asa.json") << score;

  UtteranceSettings us;
  us.outDir = (dir / "out").string();
  us.tracksEveryMs = 10;
  us.textGrid = true;
  ManifestEntry e;
  e.id = "u";
  e.output = "u.wav";
  e.scoreText = score;
  const std::optional<MetadataRow> row = runUtterance(prepareUtterance(e, us), us);
  ASSERT_TRUE(row && row->ok) << (row ? row->error : "cancelled");

  const std::string scorePath = (dir / "asa.json").string();
  const std::string csv = (dir / "asa.csv").string();
  const char* argv[] = {"quorvel tracks", scorePath.c_str(), "-o", csv.c_str(), "--every", "10",
                        "--textgrid"};
  std::ostringstream out, err;
  ASSERT_EQ(runTracksCommand(7, argv, out, err), 0) << err.str();
  EXPECT_EQ(readAll(dir / "out" / "u.tracks.csv"), readAll(csv));
  EXPECT_EQ(readAll(dir / "out" / "u.TextGrid"), readAll(dir / "asa.TextGrid"));

  fs::remove_all(dir / "out");
  fs::create_directories(dir / "out");
  e.scoreText = unlabelled;
  const std::optional<MetadataRow> refused = runUtterance(prepareUtterance(e, us), us);
  ASSERT_TRUE(refused && !refused->ok);
  EXPECT_NE(refused->error.find("labels"), std::string::npos) << refused->error;
  EXPECT_TRUE(fs::is_empty(dir / "out"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vt
