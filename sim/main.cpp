// trellan-sim: serves simulated print servers on loopback for tests, demos and training.
#include <cstring>
#include <iostream>
#include <string>

namespace {

void printUsage(std::ostream& out) {
  out << "Usage: trellan-sim [OPTIONS]\n\n"
         "Serve a fleet of simulated print servers on loopback addresses.\n\n"
         "Options:\n"
         "  --help, -h   show this help\n"
         "  --version    show the version\n";
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      printUsage(std::cout);
      return 0;
    }
    if (a == "--version") {
      std::cout << "trellan-sim 0.1.0\n";
      return 0;
    }
    std::cerr << "trellan-sim: unknown option '" << a << "'\nTry 'trellan-sim --help'.\n";
    return 2;
  }
  std::cerr << "trellan-sim: no devices to serve yet\n";
  return 1;
}
