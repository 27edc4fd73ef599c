// quorvel: articulatory speech synthesis from a JSON score to a WAV file;
// quorvel batch: a whole corpus from a manifest.
#include <exception>
#include <iostream>
#include <string_view>

#include "corpus/batch_cli.h"
#include "fileio/removal_on_signal.h"
#include "synth/quorvel_cli.h"

int main(int argc, char** argv) {
  // Anything the run did not foresee (out of memory, say) still ends with a
  // message and exit status 1; unwinding removes an unfinished output file.
  // Ctrl-C or SIGTERM while the file is written leaves no temporary file.
  const vt::RemoveTemporariesOnSignal removal;
  try {
    if (argc >= 2 && std::string_view(argv[1]) == "batch") {
      return vt::runBatchCli(argc - 1, argv + 1, std::cout, std::cerr);
    }
    return vt::runQuorvelCli(argc, argv, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "quorvel: " << e.what() << "\n";
    return 1;
  }
}
