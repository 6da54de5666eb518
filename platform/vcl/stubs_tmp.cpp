#include "platform/vcl/display.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imglist.h"
#include "platform/vcl/joystick.h"

void TPixelBuffer::Resize(int width, int height) { Width = width; Height = height; Pixels.assign(std::size_t(width) * height, 0); }
TCanvas::TCanvas(TPixelBuffer& buffer) : FBuffer(buffer) {}
TColor TCanvas::GetPixel(int, int) const { return -1; }
void TCanvas::SetPixel(int, int, TColor) {}
void TCanvas::CopyRect(const TRect&, TCanvas*, const TRect&) {}
void TCanvas::FillRect(const TRect&) {}
void TCanvas::Ellipse(int, int, int, int) {}
void TCanvas::MoveTo(int, int) {}
void TCanvas::LineTo(int, int) {}
void TCanvas::TextOut(int, int, const AnsiString&) {}
int TCanvas::TextWidth(const AnsiString&) { return 0; }
int TCanvas::TextHeight(const AnsiString&) { return 0; }
TBitmap::TBitmap() {}
void TBitmap::LoadFromFile(const AnsiString&) {}
void TBitmap::SaveToFile(const AnsiString&) const {}
TPixelBuffer Platform::ParseBmp(const std::uint8_t*, std::size_t) { return {}; }
std::vector<std::uint8_t> Platform::EncodeBmp24(const TPixelBuffer&) { return {}; }
AnsiString Platform::NativeFileName(const AnsiString& n) { return n; }
TImageList::TImageList(TComponent* owner, int w, int h) : TComponent(owner), FWidth(w), FHeight(h) {}
void TImageList::SetSize(int w, int h) { FWidth = w; FHeight = h; }
int TImageList::AddMasked(TBitmap*, TColor) { return 0; }
int TImageList::Add(TBitmap*, TBitmap*) { return 0; }
bool TImageList::FileLoad(TResType, const AnsiString&, TColor) { return true; }
void TImageList::Draw(TCanvas*, int, int, int) {}
void TImageList::Draw(TCanvas*, int, int, int, bool) {}
void TImageList::GetBitmap(int, TBitmap*) const {}
TMsgDlgButtons::TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> b) { for (auto x : b) *this << x; }
void ShowMessage(const AnsiString&) {}
int MessageDlg(const AnsiString&, TMsgDlgType, TMsgDlgButtons, int) { return mrNo; }
void Platform::SetDialogSource(DialogSource*) {}
int Platform::ScriptedDialogs::Run(const DialogRequest&) { return mrNo; }
TForm::TForm(TComponent* owner) : TComponent(owner) {}
TForm::~TForm() {}
void TForm::Close() {}
void TForm::SetIconFromFile(const AnsiString&) {}
void TForm::DoCreate() {}
void TForm::DoKeyDown(WORD&, TShiftState) {}
void TForm::DoKeyUp(WORD&, TShiftState) {}
void TForm::Show() {}
void TForm::Hide() {}
std::vector<TImage*> TForm::VisibleImages() const { return {}; }
TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() {}
void TApplication::Initialize() {}
void TApplication::Run() {}
void TApplication::ProcessMessages() {}
void TApplication::ShowException(Exception&) {}
void TApplication::AddForm(TForm*) {}
void TApplication::Present() {}
static TApplication app;
TApplication* Application = &app;
void Platform::SetWindowSystem(WindowSystem*) {}
Platform::WindowSystem& Platform::CurrentWindowSystem() { return HeadlessWindows(); }
void Platform::UseHeadless() {}
Platform::HeadlessWindowSystem& Platform::HeadlessWindows() { static HeadlessWindowSystem h; return h; }
Platform::ScriptedDialogs& Platform::HeadlessDialogs() { static ScriptedDialogs d; return d; }
WORD Platform::VirtualKeyFromSdl(std::int32_t, std::int32_t) { return 0; }
HRESULT IDirectDraw::SetCooperativeLevel(TForm*, DWORD) { return DD_OK; }
HRESULT IDirectDraw::SetDisplayMode(DWORD, DWORD, DWORD) { return DD_OK; }
std::uint32_t IDirectDraw::Release() { delete this; return 0; }
HRESULT DirectDrawCreate(void*, LPDIRECTDRAW* o, void*) { *o = new IDirectDraw; return DD_OK; }
MMRESULT joyGetDevCaps(UINT, JOYCAPS*, UINT) { return JOYERR_UNPLUGGED; }
MMRESULT joyGetPos(UINT, JOYINFO*) { return JOYERR_UNPLUGGED; }
void Platform::SetJoystickSource(JoystickSource*) {}
