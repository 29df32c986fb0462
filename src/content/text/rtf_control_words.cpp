#include "content/text/rtf_control_words.h"

#include <QtGlobal>

#include <unordered_map>
#include <vector>

namespace ql {

namespace {

using W = RtfWord;

const std::unordered_map<std::string_view, RtfWord>& table() {
  static const std::unordered_map<std::string_view, RtfWord> words = {
      {"ansi", W::Ansi}, {"mac", W::Mac}, {"pc", W::Pc}, {"pca", W::Pca},
      {"ansicpg", W::Ansicpg}, {"deff", W::Deff}, {"fonttbl", W::Fonttbl},
      {"colortbl", W::Colortbl}, {"f", W::F}, {"fcharset", W::Fcharset}, {"cpg", W::Cpg},
      {"red", W::Red}, {"green", W::Green}, {"blue", W::Blue},
      {"plain", W::Plain}, {"fs", W::Fs}, {"b", W::B}, {"i", W::I},
      {"ul", W::Ul}, {"uld", W::Ul}, {"uldash", W::Ul}, {"uldashd", W::Ul},
      {"uldashdd", W::Ul}, {"uldb", W::Ul}, {"ulhwave", W::Ul}, {"ulldash", W::Ul},
      {"ulth", W::Ul}, {"ulthd", W::Ul}, {"ulthdash", W::Ul}, {"ulthdashd", W::Ul},
      {"ulthdashdd", W::Ul}, {"ulthldash", W::Ul}, {"ululdbwave", W::Ul}, {"ulw", W::Ul},
      {"ulwave", W::Ul}, {"ulnone", W::UlNone}, {"strike", W::Strike},
      {"striked", W::Striked}, {"cf", W::Cf}, {"cb", W::Cb}, {"highlight", W::Highlight},
      {"chcbpat", W::Chcbpat},
      {"pard", W::Pard}, {"ql", W::Ql}, {"qc", W::Qc}, {"qr", W::Qr}, {"qj", W::Qj},
      {"qd", W::Qj}, {"qnatural", W::Qnatural}, {"tx", W::Tx}, {"tqr", W::Tqr},
      {"tqc", W::Tqc}, {"tqdec", W::Tqdec}, {"tb", W::Tb}, {"fi", W::Fi}, {"li", W::Li},
      {"par", W::Par}, {"row", W::Row}, {"nestrow", W::Row}, {"sect", W::Sect},
      {"line", W::Line}, {"tab", W::Tab}, {"cell", W::Cell}, {"nestcell", W::Cell},
      {"page", W::Page}, {"emdash", W::Emdash}, {"endash", W::Endash},
      {"emspace", W::Emspace}, {"enspace", W::Enspace}, {"qmspace", W::Qmspace},
      {"bullet", W::Bullet}, {"lquote", W::Lquote}, {"rquote", W::Rquote},
      {"ldblquote", W::Ldblquote}, {"rdblquote", W::Rdblquote}, {"zwj", W::Zwj},
      {"zwnj", W::Zwnj}, {"ltrmark", W::Ltrmark}, {"rtlmark", W::Rtlmark},
      {"zwbo", W::Zwbo}, {"zwnbo", W::Zwnbo},
      {"u", W::U}, {"uc", W::Uc}, {"upr", W::Upr}, {"ud", W::Ud}, {"bin", W::Bin},
      {"field", W::Field}, {"fldinst", W::Fldinst}, {"fldrslt", W::Fldrslt},
      {"NeXTGraphic", W::NeXTGraphic}, {"listtext", W::Listtext}, {"pntext", W::Listtext},
      // Destinations that hold no text of the document.
      {"info", W::SkipDestination}, {"stylesheet", W::SkipDestination},
      {"header", W::SkipDestination}, {"headerl", W::SkipDestination},
      {"headerr", W::SkipDestination}, {"headerf", W::SkipDestination},
      {"footer", W::SkipDestination}, {"footerl", W::SkipDestination},
      {"footerr", W::SkipDestination}, {"footerf", W::SkipDestination},
      {"footnote", W::SkipDestination}, {"annotation", W::SkipDestination},
      {"pict", W::Pict}, {"shppict", W::Shppict}, {"pngblip", W::Pngblip},
      {"jpegblip", W::Jpegblip}, {"object", W::SkipDestination},
      {"nonshppict", W::SkipDestination}, {"shp", W::SkipDestination},
      {"themedata", W::SkipDestination}, {"colorschememapping", W::SkipDestination},
      {"listtable", W::SkipDestination}, {"listoverridetable", W::SkipDestination},
      {"revtbl", W::SkipDestination}, {"rsidtbl", W::SkipDestination},
      {"generator", W::SkipDestination}, {"xmlnstbl", W::SkipDestination},
      {"datastore", W::SkipDestination}, {"latentstyles", W::SkipDestination},
      {"pgdsctbl", W::SkipDestination}, {"filetbl", W::SkipDestination},
      {"pn", W::SkipDestination}, {"ftnsep", W::SkipDestination},
      {"ftnsepc", W::SkipDestination}, {"aftnsep", W::SkipDestination},
      {"aftnsepc", W::SkipDestination}, {"xe", W::SkipDestination},
      {"tc", W::SkipDestination}, {"txe", W::SkipDestination},
      {"private", W::SkipDestination}, {"userprops", W::SkipDestination},
      {"docvar", W::SkipDestination}, {"atnid", W::SkipDestination},
      {"atnauthor", W::SkipDestination}, {"template", W::SkipDestination},
  };
  return words;
}

size_t slotOf(std::string_view name, size_t slots) {
  const size_t n = name.size();
  return (size_t(uchar(name[0])) * 131 + size_t(uchar(name[n - 1])) * 31 +
          size_t(uchar(name[n / 2])) * 7 + n * 1009) % slots;
}

}  // namespace

RtfWord rtfWord(std::string_view name) {
  // Open addressing over the table above: cheaper than hashing every byte of
  // every control word of a large document.
  constexpr size_t kSlots = 1024;
  struct Slot {
    std::string_view name;
    RtfWord word = RtfWord::Unknown;
  };
  static const std::vector<Slot> slots = [] {
    std::vector<Slot> s(kSlots);
    for (const auto& [name, word] : table()) {
      size_t h = slotOf(name, kSlots);
      while (!s[h].name.empty()) h = (h + 1) % kSlots;
      s[h] = {name, word};
    }
    return s;
  }();
  if (name.empty()) return RtfWord::Unknown;
  for (size_t h = slotOf(name, kSlots); !slots[h].name.empty(); h = (h + 1) % kSlots)
    if (slots[h].name == name) return slots[h].word;
  return RtfWord::Unknown;
}

}  // namespace ql
