#pragma once

// Documents as other programs write them, for the reader's tests.

#include <QByteArray>

namespace samples {

// TextEdit on the Mac: PostScript font names, \cocoa words, an expanded
// colour table, "\" line breaks as paragraph ends, a link and an attachment.
inline const QByteArray kMacTextEdit = QByteArrayLiteral(
    R"RTF({\rtf1\ansi\ansicpg1252\cocoartf2709
\cocoatextscaling0\cocoaplatform0{\fonttbl\f0\fswiss\fcharset0 Helvetica;\f1\fswiss\fcharset0 Helvetica-Bold;\f2\fnil\fcharset0 Menlo-Italic;
}
{\colortbl;\red255\green255\blue255;\red251\green0\blue7;\red255\green251\blue0;}
{\*\expandedcolortbl;;\cssrgb\c100000\c0\c0;\cssrgb\c100000\c98000\c0;}
\paperw11900\paperh16840\margl1440\margr1440\vieww11520\viewh8400\viewkind0
\pard\tx566\tx1133\tx1700\pardirnatural\partightenfactor0

\f0\fs24 \cf0 Hello 
\f1\b world
\f0\b0 , caf\'e9 \uc0\u8364 5\
\pard\tx566\pardirnatural\qc\partightenfactor0

\f2\i\fs36 \cf2 \cb3 centred\
\pard\pardirnatural\partightenfactor0

\f0\i0\fs24 \cf0 \cb1 \ul see \ulnone {\field{\*\fldinst{HYPERLINK "https://example.com/x"}}{\fldrslt \strike here}}\strike0 \
{{\NeXTGraphic Pasted Graphic.png \width400 \height300 \appleattachmentpadding0 \appleembedtype0 \appleaqc
}\'ac}\uc0\u55357 \u56832 \
\pard\li720\fi-360\ri0\qr\partightenfactor0
\cf0 \'d7\uc0\u1513 \u1500 \u1493 \u1501 }
)RTF");

// LibreOffice Writer 7.4 saving a document that came from HTML (its style
// and page tables cut down to one entry each).
inline const QByteArray kLibreOffice = QByteArrayLiteral(R"RTF({\rtf1\ansi\deff3\adeflang1025
{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\froman\fprq2\fcharset2 Symbol;}{\f2\fswiss\fprq2\fcharset0 Arial;}{\f3\froman\fprq2\fcharset0 DejaVu Serif;}{\f4\fswiss\fprq2\fcharset0 DejaVu Sans;}{\f5\fnil\fprq0\fcharset0 DejaVu Sans Mono;}{\f6\fnil\fprq2\fcharset0 DejaVu Sans;}}
{\colortbl;\red0\green0\blue0;\red0\green0\blue255;\red0\green255\blue255;\red0\green255\blue0;\red255\green0\blue255;\red255\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;\red0\green0\blue128;\red0\green128\blue128;\red0\green128\blue0;\red128\green0\blue128;\red128\green0\blue0;\red128\green128\blue0;\red128\green128\blue128;\red192\green192\blue192;}
{\stylesheet{\s0\snext0\rtlch\af6\afs24\alang1081 \ltrch\lang1033\langfe2052\hich\af3\loch\nowidctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1033\dbch\af6\langfe2052 Normal;}
{\*\cs15\snext15\loch\cf9\ul\ulc0 Internet Link;}
{\s17\sbasedon0\snext17\loch\sl276\slmult1\sb0\sa140 Text Body;}
}{\*\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\info{\creatim\yr0\mo0\dy0\hr0\min0}{\revtim\yr0\mo0\dy0\hr0\min0}{\printim\yr0\mo0\dy0\hr0\min0}}{\*\userprops{\propname }\proptype30{\staticval }}\deftab709
\hyphauto1\viewscale100
{\*\pgdsctbl{\pgdsc0\pgdscuse451\pgwsxn11906\pghsxn16838\pgdscnxt0 Default Page Style;}}
\formshade{\*\pgdscno1}\paperh16838\paperw11906\margl1134\margr567\margt567\margb567\sectd\sbknone\pgndec\sftnnar\saftnnrlc\sectunlocked1\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn567\margtsxn567\margbsxn567\ftnbj\ftnstart1\ftnrstcont\ftnnar\aenddoc\aftnrstcont\aftnstart1\aftnnrlc
{\*\ftnsep\chftnsep}\pgndec\pard\plain \s17\loch\sl276\slmult1\sb0\sa140\qc\ltrpar{\loch\b\loch
Bold}{\loch
 }{\loch\i\loch
italic}{\loch
 }{\loch\ul\ulc0\loch
under}{\loch
 }{\loch\strike\loch
strike}
\par \pard\plain \s17\loch\sl276\slmult1\sb0\sa140\sl276\slmult1\ql\sb0\sa140\ltrpar{\loch\cf6\loch
red}{\loch
 }{\loch\chcbpat7\loch
yellow}{\loch
 }{{\field{\*\fldinst HYPERLINK "https://example.org/a?b=1" }{\fldrslt {\loch\loch\cf9\ul\ulc0\loch
link}}}}
\par \pard\plain \s17\loch\sl276\slmult1\sb0\sa140\sl276\slmult1\ql\sb0\sa140\ltrpar{\loch
P\u345\'3f\u237\'edli\u353\'9a \u382\'9elu\u357\'3fou\u269\'3fk\u253\'fd k\u367\'3f\u328\'3f \u8211\'96 \u1055\'3f\u1088\'3f\u1080\'3f\u1074\'3f\u1077\'3f\u1090\'3f \u8211\'96 }{
\u1513\'3f\u1500\'3f\u1493\'3f\u1501\'3f}{
 \u8211\'96 \uc0 \u55357\uc1 \u56832\'3f \u8211\'96 }{\loch
na\u239\'efve}
\par \pard\plain \s17\loch\sl276\slmult1\sb0\sa140\ql\li1440\ri0\lin1440\rin0\fi-720\ltrpar{\hich\af5\loch\fs20\f5\loch
mono tab}
\par \pard\plain \s17\loch\sl276\slmult1\sb0\sa140\qr\sb0\sa140\ltrpar{\loch
right\line line}
\par })RTF");

// WordPad on Windows 10.
inline const QByteArray kWordPad = QByteArrayLiteral(
    R"RTF({\rtf1\ansi\ansicpg1252\deff0\nouicompat\deflang1033{\fonttbl{\f0\fnil\fcharset0 Calibri;}{\f1\fnil\fcharset238 Calibri;}{\f2\fnil\fcharset204 Calibri;}}
{\colortbl ;\red0\green176\blue80;}
{\*\generator Riched20 10.0.19041}\viewkind4\uc1 
\pard\sa200\sl276\slmult1\f0\fs22\lang9 Plain \b bold\b0  \cf1\i green\cf0\i0\par
\f1\lang1029 P\'f8\'edli\'9a \f2\lang1049\'cf\'f0\'e8\'e2\'e5\'f2\f0\lang9  \u8364?\par
\pard\tx720\tx1440\sa200\sl276\slmult1 a\tab b\line c\par
}
)RTF");

}  // namespace samples
