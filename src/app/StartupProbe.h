#pragma once
// A measuring aid for the start-up benchmark, off unless ZELM_STARTUP_PROBE is set: the login
// is answered with the password it shows, and at the first idle moment after the card window
// has painted, the time since the process was started and its peak memory are printed to the
// standard output and the program ends.
namespace zelm {

class ZelmApp;

bool startupProbeRequested();
void armStartupProbe(ZelmApp& app);

} // namespace zelm
