// porvane's own version, defined here and nowhere else: the About box shows it
// and scripts/release.sh names the release zip and fills the readmes with it.
#ifndef PORVANE_VERSION_H
#define PORVANE_VERSION_H

#define PORVANE_VERSION "0.0.1.3"

#endif
