// Where the main window's controls go for a given inner width.
#ifndef PIC2JPG_GUI_MAIN_LAYOUT_H_
#define PIC2JPG_GUI_MAIN_LAYOUT_H_

namespace pic2jpg {

// Offset of the output-folder and output-format rows.
inline constexpr int kFieldBlockTop = 30;

struct MainLayout {
  int list_width;      // input field and both lists
  int field_button_x;  // the three small buttons
  int convert_x;       // the Convert button
};

// Widths below the 510-pixel minimum are laid out as 510.
MainLayout LayoutFor(int inner_width);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_MAIN_LAYOUT_H_
