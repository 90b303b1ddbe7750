// Every resource and control id of the program, named once.
// Included by the resource script too, so only preprocessor definitions belong here.
#ifndef TULVO_RESOURCE_H
#define TULVO_RESOURCE_H

#define IDD_MAIN 101
#define IDI_APP 105
#define IDD_SMTP 106

// Main window: frame and schedule tab.
#define IDC_HIDE 1000
#define IDC_EXIT 1001
#define IDC_START 1002
#define IDC_TABS 1003
#define IDC_AT_TIME 1004
#define IDC_AFTER_MINUTES 1005
#define IDC_TARGET_DATE 1012
#define IDC_POWER_OFF 1013
#define IDC_REBOOT 1014
#define IDC_TARGET_TIME 1016
#define IDC_COUNTDOWN 1017
#define IDC_TARGET_SPIN 1018
#define IDC_COUNTDOWN_SPIN 1019
#define IDC_STOP 1020
#define IDC_LOG_OFF 1021
#define IDC_MINUTES_LABEL 1024
#define IDC_ACTION_GROUP 1037
#define IDC_TIME_GROUP 1038

// Main window: mail tab.
#define IDC_MAIL_BODY 1022
#define IDC_TEST_SEND 1023
#define IDC_MAIL_SUBJECT 1025
#define IDC_MAIL_TO 1026
#define IDC_SEND_MESSAGE 1027
#define IDC_USE_MAPI 1028
#define IDC_CONFIGURE_SMTP 1031
#define IDC_TO_LABEL 1034
#define IDC_SUBJECT_LABEL 1035
#define IDC_BODY_LABEL 1036

// SMTP settings dialog (its buttons are IDOK and IDCANCEL).
#define IDC_SMTP_SERVER 1018
#define IDC_SMTP_LOGIN 1019
#define IDC_SMTP_MAILBOX 1020
#define IDC_SMTP_PORT 1032
#define IDC_SMTP_PASSWORD 1033

// MessageTexts: the numbered user-facing texts, the string table of tulvo.rc.
#define IDS_HIDE_HINT 1
#define IDS_TAB_SCHEDULE 2
#define IDS_TAB_MAIL 3
#define IDS_ACT_NOW 4
#define IDS_NO_RIGHTS 5
#define IDS_NO_MAPI 6
#define IDS_MAPI_UNUSABLE 7
#define IDS_BAD_RECIPIENT 8
#define IDS_MAPI_SEND_FAILED 9
#define IDS_NO_NETWORK 10
#define IDS_NETWORK_ERROR 11
#define IDS_SMTP_NO_CONNECTION 12
#define IDS_SMTP_SEND_FAILED 13
#define IDS_SMTP_BAD_LOGIN 14
#define IDS_SMTP_BAD_MAILBOX 15
#define IDS_SMTP_RECIPIENT_REFUSED 16

#endif
