# wallpaper.html: the page marked as a wallpaper (no panel, no buttons, no input ends anything).
file(READ ${IN} page)
string(REPLACE "<body>" "<body class=\"wallpaper\">" page "${page}")
file(WRITE ${OUT} "${page}")
