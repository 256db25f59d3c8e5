#include <csignal>

#include "Application.h"
#include "StopSignals.h"

int main(int argc, char** argv) {
    // A host that closed its end of the pipe must still get the output file and the status.
    std::signal(SIGPIPE, SIG_IGN);
    tavelin::catchStopSignals();
    tavelin::runApplication(argc, argv);
}
