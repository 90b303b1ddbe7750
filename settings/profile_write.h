// The one call that writes to the settings file, a seam like app/system_calls.h:
// the program links the real one (app/system_calls.cpp), tests link recorders
// that write through.
#ifndef TULVO_PROFILE_WRITE_H
#define TULVO_PROFILE_WRITE_H

// WritePrivateProfileStringW(section, key, value, path): Windows writes the value in
// the ANSI code page unless the file is UTF-16 already. A failure is not reported.
void system_profile_write(const wchar_t* section, const wchar_t* key, const wchar_t* value, const wchar_t* path);

#endif
