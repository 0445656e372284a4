// A program that does nothing: the carrier of the version resources that
// the version tests read.
int main() {
    return 0;
}
