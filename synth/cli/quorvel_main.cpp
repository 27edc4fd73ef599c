// quorvel: articulatory speech synthesis from a JSON score to a WAV file.
#include <iostream>

#include "synth/quorvel_cli.h"

int main(int argc, char** argv) { return vt::runQuorvelCli(argc, argv, std::cout, std::cerr); }
