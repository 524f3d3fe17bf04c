/* Resource identifiers shared by the .rc file and the program. */
#ifndef TARVELIN_RES_RESOURCE_H
#define TARVELIN_RES_RESOURCE_H

#define IDD_WRITER 114
#define IDI_APPLICATION_ICON 117
#define IDC_STATUS 1039
#define IDC_PROGRESS 1040
#define IDC_ABORT 1141

#endif
