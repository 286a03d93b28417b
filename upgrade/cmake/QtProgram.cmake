# The Qt program: filled in with the progress window.
