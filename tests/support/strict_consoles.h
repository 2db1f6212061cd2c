// Rich edit controls that answer their text object model as Windows
// documents, where Wine is kinder: a read-only control's ranges refuse to
// change its content (E_ACCESSDENIED), and a null text is refused
// (E_INVALIDARG). Installed for the whole test process, so it also covers
// the consoles that velmo.dll creates in the host; nothing in the product
// knows of it.
//
// Threads: install once from the main thread before any rich edit control
// is created; the controls may then live on any thread.
#pragma once

// Every "RICHEDIT" control created from now on in this process answers
// EM_GETOLEINTERFACE with a screening wrapper of its text object model.
// Loads the rich edit library if the process has not yet. false when the
// class could not be subclassed.
bool InstallStrictConsoles();
