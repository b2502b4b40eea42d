// Opens the document named on the command line and saves it over and over, writing one byte to
// standard output after each save, until it is killed.

#include <layra/host/Host.h>

#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2)
    return 2;
  layra::Host host(layra::HostOptions{});
  const UIDRef document = host.OpenDocument(argv[1], nullptr);
  if (!document.IsValid())
    return 1;
  for (;;) {
    if (!host.SaveDocument(document, nullptr) || ::write(STDOUT_FILENO, "s", 1) != 1)
      return 1;
  }
}
