#pragma once
// Identifiers shared by the dialog templates in resources/Dialogs.rc and the code.
#define IDD_OPTIONS 200
#define IDC_SHORTCUT_GROUP 201
#define IDC_RESIST_PROGRAM 202
#define IDD_VERSION 210
#define IDC_VERSION_PANEL 211
#define IDC_PRODUCT_LABEL 212
#define IDC_VERSION_LABEL 213
#define IDC_VERSION_MEMO 214
#define IDC_URL_EDIT 215
#define IDC_MEMO2 216
