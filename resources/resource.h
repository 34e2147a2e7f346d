// Numeric ids of the resources and controls. Dialog templates and the
// banner bitmap are named resources ("IDD_DIR", "IDB_TARNEL"), so they have
// no number here. Included by the resource script and by the C++ code.
#pragma once

#define IDI_SETUP 200      /* class icon, 32 x 32, 16 colours */
#define IDI_FOLDER 201     /* yellow folder, 16, 24, 32 and 48 pixels */
#define IDI_UP 202         /* up arrow, the same sizes */
#define IDI_NEW_FOLDER 203 /* green folder, the same sizes */

#define IDS_LICENCE 150
#define IDS_CLASS_NAME 301

#define IDR_PAYLOAD 15734

/* the banner drawn for the larger scales, stored packed (setup_common/banner_scale.h):
   1000 + the scale in per cent */
#define IDR_BANNER_125 1125
#define IDR_BANNER_150 1150
#define IDR_BANNER_175 1175
#define IDR_BANNER_200 1200
#define IDR_BANNER_225 1225
#define IDR_BANNER_250 1250
#define IDR_BANNER_300 1300

/* main-window commands */
#define IDM_CLOSE 300
#define IDM_RUN_WIZARD 4444

/* agreement page */
#define IDC_LICENCE_TEXT 151

/* destination page and shortcut page share their ids */
#define IDC_BROWSE 100
#define IDC_DEST_EDIT 101
#define IDC_DESKTOP_BOX 110

/* folder browser */
#define IDC_PATH_LINE 102
#define IDC_FREE_SPACE_LINE 103
#define IDC_DRIVE_LIST 104
#define IDC_NAME_EDIT 105
#define IDC_DIR_LIST 107

/* copy page */
#define IDC_PROGRESS_BAR 214
#define IDC_STATUS_LINE 215
#define IDM_EXTRACT 4445

/* program-group browser */
#define IDC_GROUP_PATH 211
#define IDC_GROUP_LIST 212
