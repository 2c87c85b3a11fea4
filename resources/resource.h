// Resource and control ids of odrcfg. Shared by the .rc script and the dialogs' code, so
// it holds nothing but #define lines.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_ODRCFG_DIALOG 102
#define IDD_ERROR 144
#define IDD_STATUS 148
#define IDD_HELP 149

// Icons and the accelerator table.
#define IDR_MAINFRAME 128
#define IDI_ABOUT 130
#define IDR_ACCELERATOR 152

// String table.
#define IDS_ABOUTBOX 101
#define IDS_DEVICE_VXDS 102
#define IDS_CHECKING_DRIVER 103
#define IDS_DRIVER_VERSION 104
#define IDS_DRIVER_UNAVAILABLE 105
#define IDS_PROTOCOL_PREFIX 106
#define IDS_MAIN_TITLE 107

// System menu command of the About item.
#define IDM_ABOUTBOX 16

// Main window.
#define IDC_MASTERS 1000
#define IDC_SITE_SURVEY 1001
#define IDC_STATUS_TEXT 1002
#define IDC_SNOOP 1010
#define IDC_CONFIGURATION 1051
#define IDC_MAIN_HELP 57670

// Error, Status, Help and About windows.
#define IDC_ERROR_HEADING 1017
#define IDC_ERROR_MESSAGE 1018
#define IDC_STATUS_MESSAGE 1028
#define IDC_HELP_LIST 1037
#define IDC_ABOUT_LINE2 1040

// Accelerator commands (controls of the Configuration dialog and the Master List).
#define IDC_STATION_TYPE 1101
#define IDC_MASTER_NAME 1108
#define IDC_CHANNEL 1110
#define IDC_SUBCHANNEL 1111
#define IDC_DOMAIN 1112
#define IDC_MAC_OPTIMIZE 1113
#define IDC_ROAM_CONFIG 1114
#define IDC_INACTIVITY_SECONDS 1115
#define IDC_INACTIVITY_MINUTES 1117
#define IDC_MASTER_DOMAIN_LIST 1130

// Snoop window (the spectrum snoop): template, legend bitmaps and controls.
#define IDD_SNOOP 147
#define IDB_SNOOP_PEAK 129
#define IDB_SNOOP_AVERAGE 130
#define IDC_SNOOP_SLOW 1029
#define IDC_SNOOP_FAST 1030
#define IDC_SNOOP_FIRST_FREQ 1031
#define IDC_SNOOP_LAST_FREQ 1032
#define IDC_SNOOP_GRAPH 1146
#define IDC_SNOOP_MEDIUM 1149
#define IDC_SNOOP_HELP 57670

// Directed Link window (the directed link test): template and controls.
#define IDD_DIRECTED_LINK 146
#define IDC_LINK_OUT_OF_RANGE 1024
#define IDC_LINK_RADIO_MODE_LABEL 1044
#define IDC_LINK_RADIO_MODE 1045
#define IDC_LINK_RADIO_LEVEL 1048
#define IDC_LINK_LATENCY_GROUP 1051
#define IDC_LINK_LATENCY_HEADING 1052
#define IDC_LINK_MAXIMUM_HEADING 1053
#define IDC_LINK_DEVIATION_HEADING 1054
#define IDC_LINK_AVERAGE_LATENCY_HEADING 1055
#define IDC_LINK_RESET 1056
#define IDC_LINK_SIGNAL_BAR 1076
#define IDC_LINK_SIGNAL_TEXT 1077
#define IDC_LINK_BYTES 1078
#define IDC_LINK_PACKETS 1079
#define IDC_LINK_MASTER_NAME 1080
#define IDC_LINK_ADDRESS 1081
#define IDC_LINK_AVERAGE_PACKETS 1082
#define IDC_LINK_PACKET_SLIDER 1083
#define IDC_LINK_PACKET_SIZE 1084
#define IDC_LINK_AVERAGE_BYTES 1085
#define IDC_LINK_SECONDS 1086
#define IDC_LINK_MASTER_HEADING 1092
#define IDC_LINK_LATENCY 1093
#define IDC_LINK_MAXIMUM 1094
#define IDC_LINK_DEVIATION 1095
#define IDC_LINK_AVERAGE_LATENCY 1096
#define IDC_LINK_DRIVER_LEVEL 1148
#define IDC_LINK_HELP 57670

// Site Survey window (odrcfg): template, the "Dl" button images and controls. Each column
// of the seven table rows takes the ids FIRST to FIRST + 6, row 0 first.
#define IDD_SITE_SURVEY 133
#define IDC_SURVEY_TIME_ORDER 1016
#define IDC_SURVEY_ADDRESS_ORDER 1017
#define IDC_SURVEY_ROAMING 1019
#define IDC_SURVEY_NODE_COUNT 1020
#define IDC_SURVEY_SCROLL 1021
#define IDC_SURVEY_FRAME 1022
#define IDC_SURVEY_OUT_OF_RANGE 1023
#define IDC_SURVEY_HELP 1154
#define IDC_SURVEY_ADDRESS_FIRST 1009
#define IDC_SURVEY_BAR_FIRST 1026
#define IDC_SURVEY_VALUE_FIRST 1033
#define IDC_SURVEY_QUALITY_FIRST 1049
#define IDC_SURVEY_ACTIVITY_FIRST 1056
#define IDC_SURVEY_MASTER_FIRST 1075
#define IDC_SURVEY_TEST_FIRST 1085

// The configuration tool: the Configuration window, Get Settings, the security ID warning
// and entry.
#define IDD_GET_SETTINGS 131
#define IDD_CONFIGURATION 135
#define IDD_SETUP_WARNING 139
#define IDD_SECURITY_ID 140
#define IDC_CFG_MASTER_NAME_LABEL 1118
#define IDC_CFG_CHANNEL_LABEL 1119
#define IDC_CFG_SUBCHANNEL_LABEL 1120
#define IDC_CFG_MAC_LABEL 1121
#define IDC_CFG_ROAM_LABEL 1043
#define IDC_CFG_SECONDS_LABEL 1019
#define IDC_CFG_MINUTES_LABEL 1020
#define IDC_CFG_PEER_TO_PEER 1116
#define IDC_CFG_GET_SETTINGS 1097
#define IDC_CFG_SECURITY_ID 1098
#define IDC_CFG_DEFAULTS 1096
#define IDC_CFG_OK 1021
#define IDC_CFG_HELP 57670
#define IDC_CFG_VERY_ADVANCED 1107
#define IDC_GS_NODE_ADDRESS 1011
#define IDC_GS_ROM_VERSION 1052
#define IDC_GS_COUNTRY_CODE 1013
#define IDC_GS_RSSI_MAP 1014
#define IDC_GS_SPARE 1010
#define IDC_SETUP_CONTINUE 1122
#define IDC_SECURITY_ID_EDIT 1123
#define IDC_SECURITY_ID_OK 1027

// Master List and Change Domain.
#define IDD_MASTER_LIST 134
#define IDD_CHANGE_DOMAIN 137
#define IDC_ML_VIEW_CELL 1014
#define IDC_ML_TEST_LINK 1124
#define IDC_ML_HELP 1125
#define IDC_ML_USE_DOMAIN 1126
#define IDC_ML_LIST 1127
#define IDC_ML_SEARCH_ALL 1128
#define IDC_ML_SEARCH_ONE 1129
#define IDC_ML_DOMAIN_LABEL 1131
#define IDC_ML_SEARCHING 1133
#define IDC_CD_QUESTION 1135

// The field kit: session logs of the measuring windows, the link test's tone and history.
#define IDC_SURVEY_LOG 1160
#define IDC_LINK_LOG 1161
#define IDC_SNOOP_LOG 1162
#define IDC_LINK_TONE 1163
#define IDC_LINK_HISTORY 1164
#define IDC_LINK_CHART 1165
