#include "cli/cmd_status_common.h"

#include <ostream>

#include "access/result_codes.h"

namespace cli::statuscmd {

status::StatusServices services(Context& ctx, const std::string& command) {
  status::StatusServices s;
  s.report = [&ctx, command](const std::string& text, int, int code, int) {
    *ctx.err << "trellanctl " << command << ": " << text;
    if (code) {
      const char* meaning = snmpaccess::resultCodeMeaning(code);
      *ctx.err << " (" << code << (meaning ? std::string(": ") + meaning : std::string()) << ")";
    }
    *ctx.err << "\n";
  };
  return s;
}

}  // namespace cli::statuscmd
