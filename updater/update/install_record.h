// The installation record: the registry key HKEY_CURRENT_USER\Software\<INIFILE>\<INISECTION>
// that the installed program keeps ("Installed", "SaveDir"). The updater only reads it.
#pragma once

enum {
  INSTALL_NAME_SIZE = 80,   // an INIFILE or INISECTION name: any value "UPDATE.ENV" can hold
  REG_TEXT_SIZE = 256,      // registry data, in Shift-JIS bytes with the terminator
  SAVE_DIR_SIZE = 128       // the "SaveDir" destination of the callers
};

// The first and second name of the record's key below "Software": the INIFILE (INISECTION)
// value of "UPDATE.ENV", else "KESTRELX.INI" ("WX7SYS_SEC"). Read from the table on the
// first request and kept; later requests return the same text.
const char* inifile_name(void);
const char* inisection_name(void);

// Forgets both names, so that the next request reads the table again (for tests).
void install_names_reset(void);

// Puts `default_text` into `destination` (cut to `size` - 1 bytes) and then reads the REG_SZ
// value `value_name` of the record's key over it, cut likewise. Returns 0 when the value was
// read; -1 when the key or value is missing, of another type, longer than 255 Shift-JIS bytes
// or not expressible in Shift-JIS, the destination then holding the default.
int reg_read_string(const char* inifile, const char* inisection, const char* value_name,
                    const char* default_text, char* destination, int size);

// The same value kept as stored (UTF-16), for a folder whose name Shift-JIS cannot hold:
// `default_text` first, then the value over it; `destination` has room for REG_TEXT_SIZE wide
// characters. 0 when read; -1 when the key or value is missing, of another type or longer
// than 255 characters, the destination then holding the default. Windows only.
int reg_read_wide_string(const char* inifile, const char* inisection, const char* value_name,
                         const wchar_t* default_text, wchar_t* destination);

// The value read as a string and converted as atoi does; `default_value` when it is missing.
int reg_read_int(const char* inifile, const char* inisection, const char* value_name,
                 int default_value);
