#include "settings/settings_file.h"

// Placeholder until the settings file lands.
void load_settings() {}
void save_settings() {}
