#pragma once
// Resource IDs, shared by Quillet.rc and the windows that load them.

#define IDI_MAIN 1
#define IDI_ABOUT 2
// The directory dialog's tree images, 11 in a strip: 16x16 for 96 DPI, 20x20
// for 120 and 24x24 for 144.
#define IDB_TREEIMAGES 10
#define IDB_TREEIMAGES_20 11
#define IDB_TREEIMAGES_24 12
