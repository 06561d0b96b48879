#pragma once

// Ids of the program's resources, dialogs, controls and commands.
namespace qv::res {

// Dialog templates.
inline constexpr int kAboutDialog = 100;
inline constexpr int kMainForm = 101;
inline constexpr int kPasswordDialog = 130;
inline constexpr int kNewRestrictionDialog = 131;
inline constexpr int kBornFromDialog = 132;
inline constexpr int kSourceDialog = 139;
inline constexpr int kNewPasswordDialog = 143;
inline constexpr int kOptionsDialog = 144;
inline constexpr int kDisclaimerDialog = 145;
inline constexpr int kInformationDialog = 146;

// Other resources.
inline constexpr int kMainFrame = 128;  // menu, shortcut table, icon, document string
inline constexpr int kBornFromBitmap = 133;
inline constexpr int kLandscapeBitmap = 136;
inline constexpr int kSourceText = 138;
inline constexpr int kHelpText = 148;

// Standard ids.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Controls.
inline constexpr int kAddButton = 1001;
inline constexpr int kRemoveButton = 1002;
inline constexpr int kSaveButton = 1003;
inline constexpr int kRestrictionList = 1006;
inline constexpr int kPasswordEdit = 1007;
inline constexpr int kIpEdit = 1008;
inline constexpr int kUrlEdit = 1009;
inline constexpr int kWebLink = 1012;
inline constexpr int kStatus1 = 1013;
inline constexpr int kStatus2 = 1014;
inline constexpr int kLandscapePicture = 1015;
inline constexpr int kViewLogButton = 1016;
inline constexpr int kUseDefaultIpCheck = 1017;
inline constexpr int kPasswordOk = 1018;
inline constexpr int kPasswordCancel = 1019;
inline constexpr int kViewSourceButton = 1020;
inline constexpr int kSourceList = 1021;
inline constexpr int kNewPasswordEdit = 1022;
inline constexpr int kConfirmPasswordEdit = 1023;
inline constexpr int kFirstRunLabel = 1025;
inline constexpr int kRequirePasswordCheck = 1026;
inline constexpr int kDescriptionEdit = 1027;
inline constexpr int kMailLink = 1028;
inline constexpr int kInfoIpLabel = 1029;
inline constexpr int kInfoUrlLabel = 1030;
inline constexpr int kInfoDescriptionLabel = 1031;
inline constexpr int kKeepHiddenCheck = 1033;

// Commands.
inline constexpr int kCmdBornFrom = 32771;
inline constexpr int kCmdResetLogFile = 32772;
inline constexpr int kCmdResetPassword = 32773;
inline constexpr int kCmdOptions = 32774;
inline constexpr int kCmdInformation = 32775;
inline constexpr int kCmdFileNew = 57600;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileSave = 57603;
inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdEditCut = 57635;
inline constexpr int kCmdEditPaste = 57637;
inline constexpr int kCmdEditUndo = 57643;
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdAppExit = 57665;
inline constexpr int kCmdNextPane = 57680;
inline constexpr int kCmdPrevPane = 57681;

}  // namespace qv::res
