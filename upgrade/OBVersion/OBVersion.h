#pragma once

// OBVersion: records install and uninstall reports of the scanning software.
//
// Every report becomes one file in a local report spool, from which the maker's version service
// collects them; nothing is sent from here. The spool is the folder named by the environment
// variable OBVERSION_SPOOL_DIR; without it:
//   %LOCALAPPDATA%\Ombrix\OBVersion\spool                      when LOCALAPPDATA is set (Windows),
//   $XDG_STATE_HOME/ombrix/obversion/spool                     when XDG_STATE_HOME is set,
//   $HOME/.local/state/ombrix/obversion/spool                  otherwise.
// A report file is named "<UTC time>-<sequence>-<random>.report" and holds text lines
//   kind=install | kind=uninstall
//   application=<application name>
//   description=<description>
//   time=<UTC time, YYYY-MM-DDThh:mm:ssZ>
// with backslash, carriage return and line feed in values written as \\, \r and \n.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TSVersion_Manager* TSVersion_Mgr;

// Creates a manager for the spool, creating the spool folder if needed. Returns 1 and stores a
// non-null handle in *manager on success; returns 0 and stores null when the spool is unusable.
int TSVersion_CreateMgr(TSVersion_Mgr* manager);

// Record one report. Both strings are zero-terminated bytes (the ANSI code page on Windows);
// null counts as empty. Return 1 when the report was written, 0 otherwise.
int TSVersion_PostInstallInfo(TSVersion_Mgr manager, const char* applicationName, const char* description);
int TSVersion_PostUninstallInfo(TSVersion_Mgr manager, const char* applicationName, const char* description);

// Frees the manager; accepts null.
void TSVersion_DestroyMgr(TSVersion_Mgr manager);

#ifdef __cplusplus
}
#endif
