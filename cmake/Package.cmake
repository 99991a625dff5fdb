# Placeholder: the add-in package comes with the toolbar icons.
