// Resource and control ids of odrstat. Shared by the .rc script and the monitor's code, so it
// holds nothing but #define lines.
#pragma once

// Dialog templates.
#define IDD_MONITOR_ABOUT 100
#define IDD_MONITOR 102
#define IDD_MONITOR_ERROR 138

// Icons.
#define IDI_MONITOR 128
#define IDI_TRAY_SYNC_A 129
#define IDI_TRAY_OUT_OF_RANGE 130
#define IDI_TRAY_TOOL 133
#define IDI_MONITOR_ABOUT 136
#define IDI_TRAY_SYNC_B 137

// String table.
#define IDS_MONITOR_ABOUTBOX 101
#define IDS_MONITOR_PRODUCT 102
#define IDS_MONITOR_PROTOCOL 103
#define IDS_MONITOR_NAME 104
#define IDS_TOOL_TITLE 105
#define IDS_MONITOR_TITLE 106

// System menu command of the About item.
#define IDM_MONITOR_ABOUT 16

// Information window.
#define IDC_MONITOR_HIDE 1000
#define IDC_MONITOR_INFO 1001

// Error window.
#define IDC_MONITOR_ERROR_TEXT 1004

// Manifest resource (RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID).
#define IDR_MONITOR_MANIFEST 1
