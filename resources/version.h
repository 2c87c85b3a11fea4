// The programs' version, in one place: the version resources, the About window, the
// installer and the names of the release files take it from here.
#pragma once

#define ODR_VERSION_MAJOR 1
#define ODR_VERSION_MINOR 0
#define ODR_VERSION_PATCH 0
#define ODR_VERSION_TEXT "1.0.0"
