#include "workbench/windows/Unit2.h"

#include "platform/forms/Application.h"
#include "platform/forms/Jpeg.h"
#include "platform/rtl/Exceptions.h"

namespace workbench {

TForm2 *Form2 = nullptr;

TForm2::TForm2() {
  SetName("Form2");
  SetCaption("Об авторе");
  SetOuterSize(458, 328);
  Panel1 = Make<forms::TPanel>();
  Panel1->SetName("Panel1");
  Panel1->SetAlign(forms::TAlign::alClient);

  Image1 = Panel1->Make<forms::TImage>();
  Image1->SetName("Image1");
  Image1->SetBounds(8, 8, 201, 265);
  // The picture is part of the window: without it the program is broken.
  std::optional<std::string> jpeg = forms::Application().FindResource(kPictureResource);
  if (!jpeg) throw rtl::EInOutError(std::string("The picture \"") + kPictureResource + "\" is missing");
  Image1->SetPicture(forms::DecodeJpeg(*jpeg));

  Label1 = Panel1->Make<forms::TLabel>("kvel");
  Label1->SetFontSize(14);
  Label1->SetFontBold(true);
  Label1->SetBounds(224, 12, 100, 24);
  Label2 = Panel1->Make<forms::TLabel>("Линейные дифференциальные игры преследования и уклонения");
  Label2->SetAutoSize(false);
  Label2->SetWordWrap(true);
  Label2->SetFontBold(true);
  Label2->SetBounds(224, 44, 212, 32);
  Label3 = Panel1->Make<forms::TLabel>(
      "Строит сечения альтернированного интеграла, находит гарантированное время поимки "
      "и управления экстремального прицеливания обоих игроков, рисует их в окнах результатов.");
  Label3->SetAutoSize(false);
  Label3->SetWordWrap(true);
  Label3->SetBounds(224, 88, 212, 96);
  Label4 = Panel1->Make<forms::TLabel>("Версия 0.1");
  Label4->SetBounds(224, 256, 100, 13);
}

} // namespace workbench
