// Opens the document named on the command line and saves it over and over, writing one byte to
// standard output after each save, until it is killed.

#include <layra/host/Host.h>

#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2)
    return 2;
  const std::unique_ptr<layra::Host> host = layra::Host::Create(layra::HostOptions{}).value();
  const layra::Result<UIDRef> document = host->OpenDocument(argv[1]);
  if (!document)
    return 1;
  for (;;) {
    if (!host->SaveDocument(document.value()) || ::write(STDOUT_FILENO, "s", 1) != 1)
      return 1;
  }
}
