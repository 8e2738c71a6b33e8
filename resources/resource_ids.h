#ifndef PORVANE_RESOURCE_IDS_H
#define PORVANE_RESOURCE_IDS_H

#define IDD_SETTINGS 100      // the settings dialog template
#define IDC_PALETTE_CHECK 101 // its palette-mode check box

#endif
