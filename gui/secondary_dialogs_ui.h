// The About dialog and the Find-a-File-Converter dialog. Each disables the
// main window while it is open and gives it the focus back on closing.
// Their windows are named "about" and "converter" (controls "from", "to",
// "search", "web", "mail").
#ifndef PIC2JPG_GUI_SECONDARY_DIALOGS_UI_H_
#define PIC2JPG_GUI_SECONDARY_DIALOGS_UI_H_

namespace pic2jpg {

void OpenAboutDialog();
void OpenConverterDialog();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_SECONDARY_DIALOGS_UI_H_
