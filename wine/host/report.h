// Result lines of the test host, one per scenario step:
//   "ok <id>", "FAIL <id>: <details>", "infra <id>: <details>" (the environment, not the plug-in,
//   broke: the launcher retries the run), and at the end "wine-suite: N passed, M failed".
// Lines go to standard output and are flushed at once, so a crash leaves everything before it.
#pragma once

#include <string>

void ReportOk(const char* id);
void ReportFail(const char* id, const std::string& details);
void ReportInfra(const char* id, const std::string& details);
void ReportNote(const std::string& text);  // "# text": information only
// Counts a line relayed from a child host ("ok ..." / "FAIL ..." / "infra ...").
void ReportRelay(const std::string& line);
// Prints the closing line; returns the process exit code (0 all passed, 1 failures, 2 infra).
int ReportFinish();

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// One scenario step: collects the failed expectations, reports once when destroyed.
class Step {
 public:
  explicit Step(std::string id) : m_id(std::move(id)) {}
  ~Step();
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;
  bool Expect(bool ok, const std::string& what);
  void Infra(const std::string& what) { m_infra = what; }
  const char* Id() const { return m_id.c_str(); }

 private:
  std::string m_id;
  std::string m_failures;
  std::string m_infra;
};

// Shows bytes for a failure message: printable ASCII as is, anything else as \xNN.
std::string Escaped(const std::string& bytes);
