// resource.h - identifiers of the player's resources (dialogs, menu, accelerators, icon, strings,
// controls and commands). Shared by velmora.rc and the C++ sources.
#pragma once

// Resources.
#define IDD_MAIN            101   // main window
#define IDR_MAINMENU        102   // main menu
#define IDR_ACCELERATORS    103   // accelerator keys
#define IDD_ABOUT           104   // version information
#define IDI_VELMORA         105   // program icon
#define IDD_COLORS          107   // bar colour settings

// String table.
#define IDS_OPEN_FAILED     4     // the file could not be opened
#define IDS_NOT_WAVE        6     // the file is not in WAVE format
#define IDS_DEVICE_FAILED   7     // the wave device could not be opened
#define IDS_CONNECT_QUESTION 8    // connect to the Internet?
#define IDS_WEB_ADDRESS     9     // the project's web address

// Controls of the main window.
#define IDC_POSITION_BAR    1005
#define IDC_TIME_TEXT       1006
#define IDC_PATH_TEXT       1007
#define IDC_KEY_TEXT        1009
#define IDC_VOLUME_TEXT     1010

// Colour swatches of the colour dialog (entries 0 to 3 of Bar2Colors).
#define IDC_SWATCH_BKG      1011
#define IDC_SWATCH_LINE     1012
#define IDC_SWATCH_BAR      1013
#define IDC_SWATCH_MARKER   1014

// The main window's speed display, made at start-up beside the volume display.
#define IDC_SPEED_TEXT      1015

// Commands.
#define IDM_OPEN            40001
#define IDM_CLOSE           40002
#define IDM_EXIT            40003
#define IDM_GOTO_BEGIN      40004
#define IDM_GOTO_START      40005
#define IDM_GOTO_END        40006
#define IDM_PLAY_PAUSE      40007
#define IDM_ABOUT           40008
#define IDM_REPEAT          40009
#define IDM_STOP_AT_START   40010
#define IDM_KEY_CLEAR       40013
#define IDM_WEB_SITE        40014
#define IDM_RELOAD          40015
#define IDM_VOLUME_UP       40016
#define IDM_KEY_UP          40017
#define IDM_KEY_DOWN        40018
#define IDM_VOLUME_DOWN     40019
#define IDM_VOLUME_CLEAR    40020
#define IDM_BAR_COLORS      40021
#define IDM_START_EARLIER   40030   // start marker 10 ms earlier
#define IDM_START_LATER     40031   // start marker 10 ms later
#define IDM_END_EARLIER     40032   // end marker 10 ms earlier
#define IDM_END_LATER       40033   // end marker 10 ms later
#define IDM_REMEMBER_RANGES 40034   // remember each file's marker range (check item)
#define IDM_SPEED_DOWN      40022
#define IDM_SPEED_UP        40023
#define IDM_SPEED_CLEAR     40024
#define IDM_KEEP_TEMPO      40025

#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif
