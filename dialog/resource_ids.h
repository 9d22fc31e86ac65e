/* Resource identifiers and texts shared by the program and its Windows resource script, which
   is why this file holds plain preprocessor definitions only. */
#ifndef KOV_RESOURCE_IDS_H
#define KOV_RESOURCE_IDS_H

#define IDD_ABOUT_BOX 100
#define IDS_ABOUT_MENU 101
#define IDD_CONFIG_DIALOG 102
#define IDR_APP_ICON 128
#define IDM_ABOUT 0x0010

#define KOV_ABOUT_MENU_TEXT "&About config..."

#include "kov_version.h"

#endif
