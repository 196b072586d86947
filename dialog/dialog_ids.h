/* Identifiers of the configuration dialog, the About dialog and the "Where are
   Pictures?" dialog: template and control identifiers, shared by the resource
   script and the code. The radio identifiers are also the values the settings
   file stores. Plain macros, so that the resource compiler reads them too. */
#ifndef ORVEX_CONFIG_DIALOG_IDS_H
#define ORVEX_CONFIG_DIALOG_IDS_H

#define IDD_CONFIGURE 2003
#define IDD_ABOUT 109
#define IDD_WHERE_PICTURES 111

/* configuration dialog */
#define IDC_DEFAULT 102
#define IDC_ONE_COLOR 1019
#define IDC_RED 1020
#define IDC_GREEN 1021
#define IDC_BLUE 1022
#define IDC_POINTS 1025
#define IDC_TRIANGLES 1026
#define IDC_LINES 1027
#define IDC_QUADS 1028
#define IDC_PICTURE_ON 1029
#define IDC_FIELD_SIZE 1030
#define IDC_SPEED 1031
#define IDC_RULE 1032
#define IDC_PATTERN 1034
#define IDC_ONLY_RULE_PATTERNS 1035
#define IDC_ABOUT 1036
#define IDC_TRANSPARENT_BORDERS 1037
#define IDC_FAMILY 1038
#define IDC_PICTURE_CYCLING 1039
#define IDC_PICTURE 1041
#define IDC_RESET_TIME 1044
#define IDC_LIGHTS_OFF 1045
#define IDC_LIGHTS_1 1046
#define IDC_LIGHTS_2 1047
#define IDC_LIGHTS_3 1048
#define IDC_RESET_OFF 1049
#define IDC_RESET_REPEAT 1050
#define IDC_RESET_ON_TIME 1051
#define IDC_WHERE_PICTURES 1053
#define IDC_FIELD_PER_MONITOR 1054
#define IDC_RULE_TEXT 1055    /* the Rule box: a rule in B/S notation */
#define IDC_RULE_MESSAGE 1056 /* why the Rule box's text is no rule */
#define IDC_PATTERN_RULE 1057 /* "Run it as ...": the chosen pattern file's own rule */

/* About and "Where are Pictures?": the clickable labels */
#define IDC_WEB_ADDRESS 1038
#define IDC_INFORMATION_FOLDER 1039
#define IDC_PICTURES_FOLDER 1052

#endif
