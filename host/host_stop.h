// Stop requests from outside the program: SIGINT, SIGTERM and SIGHUP. The
// first one is only noted; the host run sees it at the next vertical blank
// and ends the run there as --frames would. A second one ends the process at
// once, by the signal's default action. A signal that was ignored when the
// run started (a job started with '&' from a script) stays ignored.
#pragma once

// Installs the handlers; host_stop_restore puts back what was there.
void host_stop_install();
void host_stop_restore();
// 0, or the first stop signal received since host_stop_install.
int host_stop_signal();
