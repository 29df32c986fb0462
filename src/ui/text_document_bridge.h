#pragma once

#include "content/text/attributed_text.h"

#include <QFont>

class QTextDocument;
class QTextCursor;

namespace ql {

// Loads attributed text into a document and reads it back to the same text
// and runs: fonts, styles, colours, links, alignment, tab stops, indents,
// attachments (kept byte for byte in the image's format) and the kind of
// line break each paragraph ended with.
void writeToDocument(const AttributedText& text, QTextDocument* document);
AttributedText readFromDocument(const QTextDocument* document);

// Plain content: no formatting, but every character and line break kept.
void writePlainToDocument(const QString& text, QTextDocument* document);
QString readPlainFromDocument(const QTextDocument* document);

// Inserts an attachment at the cursor (image files are shown as the image).
void insertAttachment(QTextCursor& cursor, const TextAttachment& attachment,
                      const TextAttributes& attributes);

// The attributes text typed with this font and these tab stops gets.
TextAttributes attributesForFont(const QFont& font, const QList<int>& tabStops);

// The user's tab settings, shared by every view of snippet content so a
// snippet lays out alike in each: formatted text has a stop every half inch
// (a centimetre where "AppleMeasurementUnits" is "Centimeters"), plain
// text every "TabWidth" spaces of its font.
int formattedTabInterval();  // twips
QList<int> formattedTabStops();  // the twelve stops of new formatted text
double formattedTabDistance();  // pixels, for text without stops of its own
double plainTabDistance(const QFont& font);  // pixels

}  // namespace ql
