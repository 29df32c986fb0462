#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::fputs("usage: quillet-tool COMMAND ...\n", stderr);
  return 1;
}
