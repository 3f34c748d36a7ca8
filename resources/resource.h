#pragma once
// Resource IDs, shared by Quillet.rc and the windows that load them.

#define IDI_MAIN 1
#define IDI_ABOUT 2
#define IDB_TREEIMAGES 10  // the directory dialog's tree images, 11 of 16x16
