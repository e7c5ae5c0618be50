// The analyzer's side of the login: "open" with the user name, the CRAM-MD5-named challenge, and
// the check of the plain MD5 of challenge and password.
#include <cctype>
#include <cstdio>
#include <random>
#include <string>

#include "platform/clock.h"
#include "platform/md5.h"
#include "sim_session.h"
#include "sim_text.h"

namespace vq {

namespace {

constexpr const char* kAuthenticate = "AUTHENTICATE CRAM-MD5.";
constexpr const char* kAuthenticateOk = "AUTHENTICATE CRAM-MD5 OK.";
constexpr const char* kReady = "ready";
constexpr const char* kLoginFailed = "Login failed.";

// The user name of `open "NAME"`; false when the line is not an open command.
bool ParseOpen(const std::string& line, std::string& user) {
  if (line.size() < 4 || !EqualNoCase(line.substr(0, 4), "open")) return false;
  const std::string rest = Trim(line.substr(4));
  if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') return false;
  user = rest.substr(1, rest.size() - 2);
  return true;
}

// A printable text no earlier login has seen.
std::string NewChallenge(SimAnalyzer& sim) {
  static std::random_device device;
  char text[64];
  std::snprintf(text, sizeof text, "<%u.%llu.%lld@vq7000b>", device() % 100000u,
                static_cast<unsigned long long>(++sim.loginCount),
                static_cast<long long>(MonotonicMs()));
  return text;
}

// A login answer in the letter case the options ask for: the viewer compares them without case.
std::string Answer(const SimAnalyzer& sim, const char* text) {
  std::string answer = text;
  for (char& c : answer) {
    if (sim.options.loginCase == 1)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (sim.options.loginCase == 2)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return answer + "\r\n";
}

}  // namespace

std::string HandleLoginLine(SimAnalyzer& sim, SimSession& session, const std::string& line) {
  const std::string text = Trim(line);
  std::string user;
  // "open" starts a login at any step: a viewer that gave up half-way begins again.
  if (ParseOpen(text, user)) {
    session.user = user;
    session.login = LoginStep::NeedAuthenticate;
    return Answer(sim, kAuthenticate);
  }
  switch (session.login) {
    case LoginStep::NeedOpen:
    case LoginStep::LoggedIn:
      return {};  // nothing but "open" is answered before a login
    case LoginStep::NeedAuthenticate:
      if (!EqualNoCase(text, kAuthenticateOk)) break;
      session.challenge = NewChallenge(sim);
      session.login = LoginStep::NeedDigest;
      return session.challenge + "\r\n";
    case LoginStep::NeedDigest: {
      bool badLogin = false;
      for (const Fault& f : sim.options.faults) badLogin |= f.kind == FaultKind::BadLogin;
      // The user name is compared exactly; the digest must be lower-case hex, as sent by the
      // viewer.
      const bool good = !badLogin && session.user == sim.options.user &&
                        text == Md5Hex(session.challenge + sim.options.password);
      if (!good) break;
      session.login = LoginStep::LoggedIn;
      session.errors.assign(sim.options.startErrors.begin(), sim.options.startErrors.end());
      return Answer(sim, kReady);
    }
  }
  session.login = LoginStep::NeedOpen;
  session.challenge.clear();
  return Answer(sim, kLoginFailed);
}

}  // namespace vq
