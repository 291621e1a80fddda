// Does nothing: its version resource, with two translations, is what the file details tests read.
int main() { return 0; }
