// The one seam around the system's shutdown request. The program links the real
// call; tests link a recorder in its place.
#ifndef TULVO_SYSTEM_REQUEST_H
#define TULVO_SYSTEM_REQUEST_H

// Asks Windows to power off, reboot or log off with the given ExitWindowsEx flags.
void system_shutdown_request(unsigned flags);

#endif
