// Result lines of the test host (see report.h).
#include "report.h"

#include <stdarg.h>
#include <stdio.h>

namespace {
int g_passed = 0, g_failed = 0, g_infra = 0;

void Line(const std::string& text) {
  fputs(text.c_str(), stdout);
  fputs("\n", stdout);
  fflush(stdout);
}
}  // namespace

std::string Format(const char* fmt, ...) {
  char buf[2048];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

std::string Escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += Format("\\x%02X", c);
    }
  }
  return out;
}

void ReportOk(const char* id) {
  ++g_passed;
  Line(std::string("ok ") + id);
}

void ReportFail(const char* id, const std::string& details) {
  ++g_failed;
  Line(std::string("FAIL ") + id + ": " + details);
}

void ReportInfra(const char* id, const std::string& details) {
  ++g_infra;
  Line(std::string("infra ") + id + ": " + details);
}

void ReportNote(const std::string& text) { Line("# " + text); }

void ReportRelay(const std::string& line) {
  if (line.rfind("ok ", 0) == 0) {
    ++g_passed;
  } else if (line.rfind("FAIL ", 0) == 0) {
    ++g_failed;
  } else if (line.rfind("infra ", 0) == 0) {
    ++g_infra;
  }
  Line(line);
}

int ReportFinish() {
  if (g_infra > 0) {
    Line(Format("wine-suite: %d passed, %d failed, %d not run (infrastructure)", g_passed, g_failed, g_infra));
    return 2;
  }
  Line(Format("wine-suite: %d passed, %d failed", g_passed, g_failed));
  return g_failed == 0 ? 0 : 1;
}

Step::~Step() {
  if (!m_infra.empty()) {
    ReportInfra(m_id.c_str(), m_infra);
  } else if (m_failures.empty()) {
    ReportOk(m_id.c_str());
  } else {
    ReportFail(m_id.c_str(), m_failures);
  }
}

bool Step::Expect(bool ok, const std::string& what) {
  if (!ok) {
    if (!m_failures.empty()) m_failures += "; ";
    m_failures += what;
  }
  return ok;
}
