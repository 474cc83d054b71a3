// Linked with every object of the data library and only that library's own
// dependencies: the build fails when a data file needs Qt Gui or Widgets.
int main()
{
    return 0;
}
