#include "platform/x11/atspi_reader.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QList>
#include <QQueue>

#include <cstdlib>

namespace ql {
namespace {

const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kText = QStringLiteral("org.a11y.atspi.Text");
const QString kComponent = QStringLiteral("org.a11y.atspi.Component");
constexpr int kStateActive = 1;
constexpr int kStateEditable = 7;
constexpr int kStateFocused = 12;
constexpr int kStateShowing = 25;
constexpr uint kScreenCoordinates = 0;
constexpr int kMaxNodes = 4000;
constexpr int kLineLookBack = 256;  // characters read before the caret

struct Node {
  QString service;
  QString path;
};

// One bus connection for the duration of a query, dropped afterwards.
class ScopedBus final {
 public:
  ScopedBus(QDBusConnection connection, QString name)
      : connection_(std::move(connection)), name_(std::move(name)) {}
  ~ScopedBus() { QDBusConnection::disconnectFromBus(name_); }
  ScopedBus(const ScopedBus&) = delete;
  ScopedBus& operator=(const ScopedBus&) = delete;
  QDBusConnection& get() { return connection_; }

 private:
  QDBusConnection connection_;
  QString name_;
};

class Query final {
 public:
  Query(QDBusConnection& bus, const QDeadlineTimer& deadline) : bus_(bus), deadline_(deadline) {}

  QList<QVariant> call(const Node& node, const QString& interface, const QString& method,
                       const QList<QVariant>& args = {}) {
    if (deadline_.hasExpired()) return {};
    QDBusMessage m = QDBusMessage::createMethodCall(node.service, node.path, interface, method);
    m.setArguments(args);
    const int timeout = static_cast<int>(qMax<qint64>(1, deadline_.remainingTime()));
    const QDBusMessage reply = bus_.call(m, QDBus::Block, timeout);
    if (reply.type() != QDBusMessage::ReplyMessage) return {};
    return reply.arguments();
  }

  QList<Node> children(const Node& node) {
    QList<Node> result;
    const QList<QVariant> reply = call(node, kAccessible, QStringLiteral("GetChildren"));
    if (reply.isEmpty() || !reply[0].canConvert<QDBusArgument>()) return result;
    const QDBusArgument arg = reply[0].value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
      Node child;
      QDBusObjectPath path;
      arg.beginStructure();
      arg >> child.service >> path;
      arg.endStructure();
      child.path = path.path();
      result.append(child);
    }
    arg.endArray();
    return result;
  }

  quint64 state(const Node& node) {
    const QList<QVariant> reply = call(node, kAccessible, QStringLiteral("GetState"));
    if (reply.isEmpty()) return 0;
    QList<uint> words;
    if (reply[0].canConvert<QDBusArgument>()) {
      reply[0].value<QDBusArgument>() >> words;
    } else {
      words = reply[0].value<QList<uint>>();
    }
    quint64 bits = 0;
    for (qsizetype i = 0; i < words.size() && i < 2; ++i) bits |= quint64(words[i]) << (32 * i);
    return bits;
  }

  std::optional<QRect> extents(const QList<QVariant>& reply) {
    if (reply.size() < 4) return std::nullopt;
    const QRect r(reply[0].toInt(), reply[1].toInt(), reply[2].toInt(), reply[3].toInt());
    // Toolkits answer -1 or an empty box for what is not on screen.
    if (r.x() < 0 || r.y() < 0 || r.height() <= 0 || r.width() < 0) return std::nullopt;
    return r;
  }

  std::optional<QRect> textBounds(const Node& node) {
    const QList<QVariant> count = call(node, kText, QStringLiteral("GetNSelections"));
    if (!count.isEmpty() && count[0].toInt() > 0) {
      const QList<QVariant> range = call(node, kText, QStringLiteral("GetSelection"), {0});
      if (range.size() >= 2) {
        const auto r = extents(call(node, kText, QStringLiteral("GetRangeExtents"),
                                    {range[0].toInt(), range[1].toInt(), kScreenCoordinates}));
        if (r) return r;
      }
    }
    const QList<QVariant> caret =
        call(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
             {kText, QStringLiteral("CaretOffset")});
    if (!caret.isEmpty()) {
      const int offset = caret[0].value<QDBusVariant>().variant().toInt();
      const auto r = extents(call(node, kText, QStringLiteral("GetCharacterExtents"),
                                  {offset, kScreenCoordinates}));
      if (r) return r;
    }
    return extents(call(node, kComponent, QStringLiteral("GetExtents"), {kScreenCoordinates}));
  }

  // The caret, and the box of the characters before it. At the end of the
  // text there is no character at the caret: the right edge of the one
  // before stands for it.
  std::optional<AtSpiReader::Caret> caret(const Node& node, int before) {
    const QList<QVariant> offsetReply =
        call(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
             {kText, QStringLiteral("CaretOffset")});
    if (offsetReply.isEmpty()) return std::nullopt;
    const int offset = offsetReply[0].value<QDBusVariant>().variant().toInt();
    if (offset < 0) return std::nullopt;
    AtSpiReader::Caret result;
    const int start = qMax(0, offset - qMax(0, before));
    std::optional<QRect> box;
    if (start < offset)
      box = extents(call(node, kText, QStringLiteral("GetRangeExtents"), {start, offset, kScreenCoordinates}));
    if (!box) {
      box = extents(call(node, kText, QStringLiteral("GetCharacterExtents"), {offset, kScreenCoordinates}));
      if (box) box->setWidth(1);
    }
    if (!box && offset > 0) {
      box = extents(call(node, kText, QStringLiteral("GetCharacterExtents"), {offset - 1, kScreenCoordinates}));
      if (box) *box = QRect(box->right() + 1, box->y(), 1, box->height());
    }
    if (!box) return std::nullopt;
    result.bounds = *box;
    const QList<QVariant> text =
        call(node, kText, QStringLiteral("GetText"), {qMax(0, offset - kLineLookBack), offset});
    if (!text.isEmpty()) {
      const QString head = text[0].toString();
      result.lineBefore = head.mid(head.lastIndexOf(QLatin1Char('\n')) + 1);
    }
    return result;
  }

  // Breadth first through what is showing, the active window first.
  std::optional<Node> focused(const Node& application) {
    QQueue<Node> queue;
    QList<Node> editable;
    queue.enqueue(application);
    int visited = 0;
    while (!queue.isEmpty() && visited++ < kMaxNodes && !deadline_.hasExpired()) {
      const Node node = queue.dequeue();
      QList<Node> kids = children(node);
      if (node.path == application.path && node.service == application.service) {
        std::stable_sort(kids.begin(), kids.end(), [this](const Node& a, const Node& b) {
          return (state(a) >> kStateActive & 1) > (state(b) >> kStateActive & 1);
        });
      }
      for (const Node& kid : kids) {
        const quint64 s = state(kid);
        if (s >> kStateFocused & 1) return kid;
        if ((s >> kStateShowing & 1) && (s >> kStateEditable & 1)) editable.append(kid);
        if (s >> kStateShowing & 1) queue.enqueue(kid);
      }
    }
    // While the program holds the keyboard, toolkits take their window for
    // unfocused; a window with one text field can only mean that one.
    if (queue.isEmpty() && editable.size() == 1) return editable.front();
    return std::nullopt;
  }

 private:
  QDBusConnection& bus_;
  QDeadlineTimer deadline_;
};

// Runs ask on the focused element of process pid, within the budget.
template <typename T, typename Ask>
std::optional<T> onFocusedElement(qint64 pid, int budgetMs, Ask ask) {
  const QString sessionAddress = atSpiSessionBusAddress();
  if (pid <= 0 || sessionAddress.isEmpty()) return std::nullopt;
  const QDeadlineTimer deadline(budgetMs);
  // Names of their own: a connection of an earlier query may still be
  // going down in the bus thread.
  static quint64 queries = 0;
  const QString serial = QString::number(++queries);
  const QString sessionName = QStringLiteral("quillet-atspi-session-") + serial;
  ScopedBus session(QDBusConnection::connectToBus(sessionAddress, sessionName), sessionName);
  if (!session.get().isConnected()) return std::nullopt;
  QDBusMessage question = QDBusMessage::createMethodCall(
      QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus"),
      QStringLiteral("GetAddress"));
  const QDBusMessage answer =
      session.get().call(question, QDBus::Block, static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
  if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty()) return std::nullopt;
  const QString address = answer.arguments()[0].toString();
  if (address.isEmpty()) return std::nullopt;

  const QString a11yName = QStringLiteral("quillet-atspi-") + serial;
  ScopedBus a11y(QDBusConnection::connectToBus(address, a11yName), a11yName);
  if (!a11y.get().isConnected()) return std::nullopt;
  Query query(a11y.get(), deadline);

  const Node registry{QStringLiteral("org.a11y.atspi.Registry"),
                      QStringLiteral("/org/a11y/atspi/accessible/root")};
  QDBusConnectionInterface* daemon = a11y.get().interface();
  for (const Node& application : query.children(registry)) {
    if (deadline.hasExpired() || !daemon) break;
    const QDBusReply<uint> owner = daemon->servicePid(application.service);
    if (!owner.isValid() || static_cast<qint64>(owner.value()) != pid) continue;
    if (const auto node = query.focused(application)) return ask(query, *node);
  }
  return std::nullopt;
}

}  // namespace

QString atSpiSessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return QString::fromLocal8Bit(address);
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const QString socket = QString::fromLocal8Bit(runtime ? runtime : "") + QStringLiteral("/bus");
  if (runtime && QFileInfo::exists(socket)) return QStringLiteral("unix:path=") + socket;
  return {};
}

std::optional<QRect> AtSpiReader::focusedTextBounds(qint64 pid) const {
  return onFocusedElement<QRect>(pid, budgetMs_,
                                 [](Query& query, const Node& node) { return query.textBounds(node); });
}

std::optional<AtSpiReader::Caret> AtSpiReader::focusedCaret(qint64 pid, int before) const {
  return onFocusedElement<Caret>(pid, budgetMs_, [before](Query& query, const Node& node) {
    return query.caret(node, before);
  });
}

}  // namespace ql
