// The one call that writes to the settings file, a seam like app/system_calls.h:
// the program links the real one (app/system_calls.cpp), tests link recorders
// that write through.
#ifndef TULVO_PROFILE_WRITE_H
#define TULVO_PROFILE_WRITE_H

// WritePrivateProfileStringA(section, key, value, path); a failure is not reported.
void system_profile_write(const char* section, const char* key, const char* value, const char* path);

#endif
