#pragma once
// The background pictures of the parameter dialogs, drawn from an editable
// source per type (objekts/<TYPE>/<TYPE>.dlg) and the dialog family table: the
// labels of the controls come from the table, so they stand where the controls
// sit. A source is a list of drawing lines in dialog coordinates (the title bar
// included; the picture starts below it):
//
//   title "NAME" "German name" [X Y]    the heading (at 14, 38 unless given)
//   text X Y SIZE normal|bold|mono COLOUR "text"
//   para X Y WIDTH SIZE "text"          wrapped at WIDTH, "\n" breaks the line
//   block X Y W H "glyph" ["in,…" "out,…"]   the type's symbol with its pin names
//   timing X Y W ROWHEIGHT              then "row NAME 0011…" lines and "end";
//                                       a row with digits above 1 is a value in steps
//   wiring X Y W H                      the bus wiring example of the type
//   truthtable                          the input combinations over BOOL's boxes
//   lcd X Y "line 1" "line 2"           a two-line display
//   box|fill X Y W H COLOUR             a frame or a filled area
//   line X0 Y0 X1 Y1 COLOUR [WIDTH]
//
// Colours: white, label, orange, grey, dark, dim, red, green, blue, navy, black.
#include "Canvas.h"

#include "model/ParamFamily.h"

#include <string>

namespace objpics {

// Raises v7300::Error naming the line when a source line cannot be read.
Canvas drawDialogPicture(const v7300::TParamDialogSpec& dialog, const std::string& source);

// The buttons of "Anzeige Texte": empty slot, delete, text and page name (16 x 16).
Canvas drawShownItemsButton(const std::string& name);

} // namespace objpics
