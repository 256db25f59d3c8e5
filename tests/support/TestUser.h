#pragma once

#include <string>
#include <vector>

namespace tavelin::testing_support {

// sway refuses to run as root, and CI runs as root: there, the compositor and every client of
// it run as an unprivileged user ($TAVELIN_TEST_USER, else "tavelin-test"; scripts/test.sh
// creates it). As any other user they run as that user.
bool switchesUser();
// `argv` prefixed so that it runs as the test user.
std::vector<std::string> asTestUser(std::vector<std::string> argv);
// A copy of the program at `path` that the test user may run: the build tree may lie below a
// directory only root can enter (a checkout in /root). The path itself when no user is switched.
std::string runnableByTestUser(const std::string& path);
// Makes a directory (and what is in it) the test user's, so the user's programs may write there.
void handToTestUser(const std::string& path);
// Empty when the test user exists or none is needed, else why the tests cannot run.
std::string testUserProblem();

}  // namespace tavelin::testing_support
