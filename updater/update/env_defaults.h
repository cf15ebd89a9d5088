// What the updater takes when "UPDATE.ENV" leaves a key out: the texts of the title, the
// program's name and the read-me, and the names of the installation record's key. cp932.
#pragma once

inline constexpr char DEFAULT_APPTITLE[] = "APPTITLEセクションを定義してください";
inline constexpr char DEFAULT_APPNAME[] = "APPNAMEセクションを定義してください";
inline constexpr char DEFAULT_README[] = "ReadMe.txt";
inline constexpr char DEFAULT_INIFILE[] = "KESTRELX.INI";
inline constexpr char DEFAULT_INISECTION[] = "WX7SYS_SEC";
