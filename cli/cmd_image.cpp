// trellanctl image read|write: the 8 KiB configuration image of a second-family print server,
// read into a file or written back from one.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "devices/ipv4_text.h"
#include "devices/second_family_exchange.h"
#include "devices/second_family_setup.h"
#include "platform/atomic_file.h"
#include "platform/net_config.h"

namespace {

constexpr int kReplyMs = 100;

struct Options {
  std::string address;
  std::string file;
};

// The address checked, or the exit status of a refusal.
int checkAddress(cli::Context& ctx, const std::string& command, const std::string& address) {
  const auto ip = devices::parseIpv4(address);
  if (!ip) return cli::usageError(ctx, command, "'" + address + "' is no IPv4 address");
  if (const std::string refusal = cli::snmpcmd::loopbackRefusal(*ip); !refusal.empty())
    return cli::failure(ctx, command, refusal);
  return cli::kExitOk;
}

int runRead(cli::Context& ctx, const Options& o) {
  const std::string command = "image read";
  if (int rc = checkAddress(ctx, command, o.address); rc != cli::kExitOk) return rc;
  devices::SecondFamilyExchange x(o.address, platform::netConfig().secondFamilyPort, kReplyMs);
  std::vector<std::uint8_t> image;
  if (x.readConfigurationImage(image) != 0) return cli::failure(ctx, command, o.address + ": " + x.failure());
  const std::string data(image.begin(), image.end());
  if (!platform::writeFileAtomically(o.file, data))
    return cli::failure(ctx, command, "cannot write '" + o.file + "'");
  if (ctx.json)
    cli::writeJson(ctx, {{"address", o.address}, {"file", o.file}, {"bytes", image.size()}});
  else
    *ctx.out << o.address << ": " << image.size() << " bytes written to " << o.file << "\n";
  return cli::kExitOk;
}

int runWrite(cli::Context& ctx, const Options& o) {
  const std::string command = "image write";
  if (int rc = checkAddress(ctx, command, o.address); rc != cli::kExitOk) return rc;
  // One byte more than an image may hold, so that a longer file is told from a whole one.
  const platform::FileRead file = platform::readFileBounded(o.file, devices::kImageSize + 1);
  if (file.status != platform::ReadStatus::Ok && file.status != platform::ReadStatus::TooLarge)
    return cli::failure(ctx, command, "cannot read '" + o.file + "'" + (file.error.empty() ? "" : ": " + file.error));
  if (file.status == platform::ReadStatus::TooLarge || file.data.size() != devices::kImageSize)
    return cli::failure(ctx, command,
                        "'" + o.file + "' is not a configuration image of " + std::to_string(devices::kImageSize) +
                            " bytes");
  const std::vector<std::uint8_t> image(file.data.begin(), file.data.end());
  const std::uint16_t port = platform::netConfig().secondFamilyPort;
  devices::SecondFamilyExchange x(o.address, port, kReplyMs);
  if (x.writeConfigurationImage(image) != 0) return cli::failure(ctx, command, o.address + ": " + x.failure());
  // The unit still answers at its address.
  if (x.poll() != 0) return cli::failure(ctx, command, o.address + ": " + x.failure());
  if (ctx.json)
    cli::writeJson(ctx, {{"address", o.address}, {"file", o.file}, {"bytes", image.size()}});
  else
    *ctx.out << o.address << ": " << image.size() << " bytes written from " << o.file << "\n";
  return cli::kExitOk;
}

void declare(CLI::App& app, Options& o) {
  app.add_option("ADDRESS", o.address, "the print server (IPv4)")->required();
  cli::completeAs(app.add_option("FILE", o.file, "the image file (8192 bytes)")->required(), cli::Completion::File);
}

const cli::CommandRegistration kImage({
    "image",
    "read or write a second-family unit's configuration image",
    "The units of the second family keep their configuration in an 8192-byte image read and\n"
    "written over their text protocol (UDP port 19541, TRELLAN_SECOND_FAMILY_PORT). See\n"
    "`image read` and `image write`.\n\n"
    "Exit status: 2 without a subcommand.",
    [](CLI::App& app) {
      app.require_subcommand(1);
      return [](cli::Context&) { return cli::kExitUsage; };
    },
});

const cli::CommandRegistration kImageRead({
    "image read",
    "read a second-family unit's configuration image into a file",
    "Reads the whole image (16 blocks of 512 bytes) and writes it to FILE (replaced atomically).\n"
    "A block that does not arrive whole, or a refusal, fails the read and leaves FILE as it was.\n\n"
    "Exit status: 0 read, 1 no or incomplete answer or FILE not writable, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<Options>();
      declare(app, *o);
      return [o](cli::Context& ctx) { return runRead(ctx, *o); };
    },
});

const cli::CommandRegistration kImageWrite({
    "image write",
    "write a configuration image from a file to a second-family unit",
    "Writes FILE (exactly 8192 bytes, as `image read` saves it) to the unit in 19 chunks of 422\n"
    "bytes and one of 174, each acknowledged, then checks that the unit still answers at ADDRESS\n"
    "(POLLING). The unit applies the image when it restarts.\n\n"
    "Exit status: 0 written and answering, 1 FILE unreadable or of another size, or the unit did\n"
    "not acknowledge, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<Options>();
      declare(app, *o);
      return [o](cli::Context& ctx) { return runWrite(ctx, *o); };
    },
});

}  // namespace
