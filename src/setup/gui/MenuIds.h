#pragma once
// The ids of the main window's controls and menu items, as the system numbers them.
constexpr int kIdTabs = 1101;
constexpr int kIdDiagnostics = 1102;
constexpr int kIdStatusBox = 1103;

constexpr int kIdOpen = 40001;
constexpr int kIdSave = 40002;
constexpr int kIdSaveAs = 40003;
constexpr int kIdConfigureMultiple = 40004;
constexpr int kIdExport = 40005;
constexpr int kIdImport = 40006;
constexpr int kIdSaveAndRun = 40007;
constexpr int kIdCommandLine = 40008;
constexpr int kIdExit = 40009;
constexpr int kIdDebugging = 40011;
constexpr int kIdToolTips = 40012;
constexpr int kIdLockToolTips = 40014;
constexpr int kIdFirstDelay = 40021; // .. 40026
constexpr int kIdAbout = 40032;
constexpr int kIdSaveRunNow = 40040;

// Owners of status messages.
constexpr std::uint32_t kStatusOwnerShell = 1;
constexpr std::uint32_t kStatusOwnerClosing = 8;
