// The search dialog: edits the search request and runs it once.
#pragma once

struct HWND__;

// Runs the dialog modally, owned by owner, on the global search request. Returns the
// position of the record found, or -1 when cancelled or nothing was found.
int SearchDialog(HWND__* owner);
