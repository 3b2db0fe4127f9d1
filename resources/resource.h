// Ids of the program's resources and controls, shared by the templates and the code.
#pragma once

#define IDD_MAIN 101
#define IDD_CHOOSE_PART_NAME 103
#define IDD_CHOOSE_DUMMY 104
#define IDI_APPLICATION_ICON 105
#define IDD_COLOURS_EDITOR 106
#define IDD_DRIVER_MOVEMENTS 107
#define IDD_EDIT_COLOUR 108

// Main window (template 101)
#define IDC_CLOSE 1000
#define IDC_OPEN_VERRO3 1002
#define IDC_SAVE_KESH 1003
#define IDC_PART_LIST 1004
#define IDC_INFO_TEXT 1005
#define IDC_DUMMY_LIST 1006
#define IDC_IMPORT_DAMAGED 1007
#define IDC_PART_NAME 1008
#define IDC_DUMMY_NAME 1009
#define IDC_SET_DEFAULT 1010
#define IDC_DRIVER_MOVEMENTS 1011
#define IDC_CHOOSE_DUMMY 1012
#define IDC_CHOOSE_PART 1013
#define IDC_OPEN_KESH 1014
#define IDC_SAVE_VERRO3 1015
#define IDC_COLOURS_EDITOR 1033
#define IDC_CAR_VIEW 1120

// Car view window (no template): the controls of its top row
#define IDC_CAR_VIEW_DAMAGED 1121
#define IDC_CAR_VIEW_WIREFRAME 1122
#define IDC_CAR_VIEW_TEXTURE 1123
#define IDC_CAR_VIEW_EXPORT_OBJ 1124

// Part name chooser (template 103): row 1 is 1012, row r from 2 on is 1019 + r.
#define IDC_PART_CODE_FIRST 1012
#define IDC_PART_CODE_ROW2 1021
#define IDC_PART_CODE_LAST 1046

// Dummy name chooser (template 104)
#define IDC_KIND_HEAD 1013
#define IDC_KIND_TAIL 1014
#define IDC_KIND_BRAKE 1015
#define IDC_KIND_REVERSE 1016
#define IDC_KIND_DIRECTION 1017
#define IDC_KIND_SIREN 1018
#define IDC_COLOUR_WHITE 1019
#define IDC_COLOUR_RED 1020
#define IDC_COLOUR_BLUE 1021
#define IDC_COLOUR_ORANGE 1022
#define IDC_FLASHING_1 1023
#define IDC_FLASHING_2 1024
#define IDC_NO_FLASHING 1025
#define IDC_INTENSITY_BROKEN 1026
#define IDC_INTENSITY_1 1027 // to IDC_INTENSITY_1 + 8 for "Intensity 9"
#define IDC_INTENSITY_5 1031
#define IDC_TIME_CONSTANT 1036
#define IDC_TIME_1 1037
#define IDC_TIME_2 1044 // to IDC_TIME_2 + 7 for "Time 9"
#define IDC_TIME_EMPTY 1052
#define IDC_DELAY_NONE 1053
#define IDC_DELAY_1 1054 // to IDC_DELAY_1 + 8 for "Delay 9"
#define IDC_DELAY_EMPTY 1063
#define IDC_LICENSE_EURO 1065
#define IDC_LICENSE_HIGH 1066
#define IDC_LICENSE_MEDIUM 1067
#define IDC_LICENSE_LOW 1068
#define IDC_SMOKE 1069
#define IDC_WATER 1070

// Colours editor (template 106): column k = 0..3 is list 1019 + k, "Edit" 1036 + k,
// swatch 1040 + k.
#define IDC_COLOUR_LIST_FIRST 1019
#define IDC_COLOUR_EDIT_FIRST 1036
#define IDC_COLOUR_SWATCH_FIRST 1040
#define IDC_ADD_COLOUR 1044
#define IDC_DELETE_COLOUR 1045

// Driver movements (template 107)
#define IDC_DRIVER_VIEW 1045
#define IDC_RESET_ALL 1046

// Colour edit dialog (template 108)
#define IDC_HUE_SCROLL 1048
#define IDC_SATURATION_SCROLL 1049
#define IDC_VALUE_SCROLL 1050
#define IDC_HUE_NUMBER 1051
#define IDC_SATURATION_NUMBER 1052
#define IDC_VALUE_NUMBER 1053
#define IDC_PREVIEW 1054
#define IDC_TRANSPARENCY_SCROLL 1055
#define IDC_TRANSPARENCY_NUMBER 1056
