// Resource ids, shared by the resource script and the code.
#ifndef QEL_RESOURCE_H
#define QEL_RESOURCE_H

#define CTL_ABOUT_ICON 2
#define STR_TITLE 103
#define DLG_ABOUT 103
#define CMD_ABOUT 104
#define CMD_EXIT 105
#define ICON_LARGE 107
// winuser.h names a WM_SETICON size ICON_SMALL; here it is the icon's id.
#undef ICON_SMALL
#define ICON_SMALL 108
#define RES_MAIN 109

#endif
