#include "tools/script_runner.h"

#include "tools/interrupt.h"

namespace tools {

int playScript(Session& session, const std::vector<Command>& commands, const std::string& scriptName,
               std::ostream& out, std::ostream& err) {
  int expectations = 0, failures = 0;
  for (const Command& command : commands) {
    if (interruptSignal()) break;
    const bool expectation = command.isExpectation();
    expectations += expectation;
    out << "> " << command.text << "\n";
    Failure failure = session.run(command);
    session.settle();
    if (failure) {
      ++failures;
      out.flush();
      err << scriptName << ", line " << command.line << ": " << command.text << ": " << *failure << "\n";
      err.flush();
    }
  }
  if (int signal = interruptSignal()) {
    out.flush();
    err << scriptName << ": interrupted\n";
    return 128 + signal;
  }
  if (failures == 0 && expectations == 0) {
    out << "done (the script has no expectations)\n";
    return 0;
  }
  if (failures == 0) {
    out << "all " << expectations << (expectations == 1 ? " expectation" : " expectations") << " held\n";
    return 0;
  }
  out << failures << (failures == 1 ? " failure" : " failures") << " (" << expectations << " expectations)\n";
  return 1;
}

}  // namespace tools
