// trellanctl: the command-line face of Trellan, on the same libraries as the program.
#include <iostream>

#include "app/device_reads_install.h"
#include "cli/command_line.h"
#include "platform/registry.h"

int main(int argc, char** argv) {
  cli::CommandLine line;
  line.setLauncher([](const cli::Runner& run, cli::Context& ctx) {
    // Nothing else starts the engine for query and discover: the reads start it when they need it.
    const platform::Registry settings;
    const app::DeviceReadsInstall deviceReads(settings, true);
    return run(ctx);
  });
  return line.run(argc, argv, std::cout, std::cerr);
}
