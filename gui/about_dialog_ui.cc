// The About dialog: banner, title with version, notice, the web and mail
// links and OK; Return and Escape act as OK.
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/hyperlink.h>
// (after wx/hyperlink.h, which it builds on)
#include <wx/generic/hyperlink.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>

#include "gui/dialog_links.h"
#include "gui/main_window_ui.h"
#include "gui/open_url_ui.h"
#include "gui/over_main_window_ui.h"
#include "gui/secondary_dialogs_ui.h"
#include "text/identity.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

constexpr int kWidth = 360;
constexpr int kBannerHeight = 40;
constexpr int kAboutImage = 0;
constexpr int kAboutImagePixels = 32;

wxString Text(const char* group, const char* key) {
  return wxString::FromUTF8(GetText(group, key));
}

// A band across the dialog's whole top, drawn at whatever width the dialog
// takes: the About picture and the program's name, in a font a third larger
// than the dialog's.
wxWindow* Banner(wxWindow* parent) {
  auto* banner = new wxWindow(parent, wxID_ANY);
  banner->SetName("banner");
  banner->SetCanFocus(false);
  banner->SetFont(parent->GetFont().Bold().Scaled(1.35f));
  const wxSize extent = banner->GetTextExtent(kProgramTitle);
  const int margin = (kBannerHeight - kAboutImagePixels) / 2;
  const int text_left = kAboutImagePixels + 4 * margin;
  banner->SetMinSize(wxSize(text_left + extent.GetWidth() + 4 * margin,
                            std::max(kBannerHeight, extent.GetHeight() * 2)));
  banner->SetBackgroundStyle(wxBG_STYLE_PAINT);
  banner->Bind(wxEVT_PAINT, [banner, margin, text_left](wxPaintEvent&) {
    wxPaintDC dc(banner);
    const wxSize size = banner->GetClientSize();
    dc.GradientFillLinear(wxRect(size), wxColour(32, 74, 135), wxColour(114, 159, 207), wxEAST);
    dc.DrawBitmap(ImageBitmap(kAboutImage, kAboutImagePixels), margin,
                  (size.GetHeight() - kAboutImagePixels) / 2, true);
    dc.SetTextForeground(*wxWHITE);
    dc.SetFont(banner->GetFont());
    const wxSize text = dc.GetTextExtent(kProgramTitle);
    dc.DrawText(kProgramTitle, text_left, (size.GetHeight() - text.GetHeight()) / 2);
  });
  return banner;
}

// The generic control: GTK's own link button does not take our colours.
wxGenericHyperlinkCtrl* Link(wxWindow* parent, const char* name, const std::string& shown,
                             const std::string& target) {
  auto* link = new wxGenericHyperlinkCtrl(parent, wxID_ANY, wxString::FromUTF8(shown),
                                          wxString::FromUTF8(target));
  link->SetName(name);
  const wxColour theme_link = wxSystemSettings::GetColour(wxSYS_COLOUR_HOTLIGHT);
  const Rgb colour = ReadableLinkColour(
      Rgb{theme_link.Red(), theme_link.Green(), theme_link.Blue()}, ThemeBackground());
  const wxColour link_colour(colour.r, colour.g, colour.b);
  link->SetNormalColour(link_colour);
  link->SetHoverColour(link_colour);
  link->SetVisitedColour(link_colour);
  // Handled here (not skipped), so wxWidgets opens nothing itself.
  link->Bind(wxEVT_HYPERLINK, [target](wxHyperlinkEvent&) { OpenUrl(target); });
  return link;
}

}  // namespace

void OpenAboutDialog() {
  auto* dialog = new wxDialog(MainFrame(), wxID_ANY, Text("About", "Title"), wxDefaultPosition,
                              wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
  dialog->SetName("about");
  // Margins follow the text size, so that large text keeps its room.
  const int gap = std::max(4, dialog->GetCharHeight() / 2);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(Banner(dialog), 0, wxEXPAND);

  auto* frame = new wxStaticBoxSizer(wxVERTICAL, dialog, "");
  wxWindow* box = frame->GetStaticBox();
  auto* title = new wxStaticText(box, wxID_ANY, wxString::FromUTF8(TitleWithVersion()),
                                 wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL);
  title->SetFont(title->GetFont().Bold());
  frame->Add(title, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * gap);
  frame->Add(new wxStaticText(box, wxID_ANY, wxString::FromUTF8(kAboutNotice), wxDefaultPosition,
                              wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL),
             0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * gap);
  auto* links = new wxFlexGridSizer(2, gap / 2, gap);
  links->Add(new wxStaticText(box, wxID_ANY, Text("About", "Website")), 0, wxALIGN_CENTRE_VERTICAL);
  links->Add(Link(box, "web", AboutWebAddress(), AboutWebAddress()), 0, wxALIGN_CENTRE_VERTICAL);
  links->Add(new wxStaticText(box, wxID_ANY, Text("About", "Email")), 0, wxALIGN_CENTRE_VERTICAL);
  links->Add(Link(box, "mail", AboutMailAddress(), AboutMailLink()), 0, wxALIGN_CENTRE_VERTICAL);
  frame->Add(links, 0, wxALIGN_CENTRE_HORIZONTAL | wxALL, gap);
  top->Add(frame, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * gap);

  auto* ok = new wxButton(dialog, wxID_OK, Text("Dialog", "OK"));
  ok->SetDefault();
  // As far from the bottom edge as the frame is from the sides.
  top->Add(ok, 0, wxALIGN_CENTRE_HORIZONTAL | wxALL, 2 * gap);
  top->SetMinSize(wxSize(kWidth, -1));
  dialog->SetSizerAndFit(top);

  ok->Bind(wxEVT_BUTTON, [dialog](wxCommandEvent&) { CloseOverMainWindow(dialog); });
  BindDialogKeys(dialog, [dialog] { CloseOverMainWindow(dialog); });
  ShowOverMainWindow(dialog, ok);
}

}  // namespace pic2jpg
