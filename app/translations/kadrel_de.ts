<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>app::AboutWindow</name>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="24"/>
        <location filename="../ui/AboutWindow.cpp" line="26"/>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="25"/>
        <source>Version %1 (%2)</source>
        <translation>Version %1 (%2)</translation>
    </message>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="32"/>
        <source>About Kadrel</source>
        <translation>Über Kadrel</translation>
    </message>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="59"/>
        <source>Built with %1, used according to the &lt;b&gt;%2&lt;/b&gt;.</source>
        <translation>Erstellt mit %1, verwendet gemäß der &lt;b&gt;%2&lt;/b&gt;.</translation>
    </message>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="61"/>
        <source>GNU LGPL version 3</source>
        <translation>GNU LGPL Version 3</translation>
    </message>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="63"/>
        <source>Also built on %1 (&lt;b&gt;Unicode licence&lt;/b&gt;), %2 (&lt;b&gt;MIT licence&lt;/b&gt;), %3 (&lt;b&gt;Apache licence 2.0&lt;/b&gt;), %4 (&lt;b&gt;BSD licence&lt;/b&gt;), %5 (&lt;b&gt;libpng licence&lt;/b&gt;) and %6 (&lt;b&gt;MIT licence&lt;/b&gt;).</source>
        <translation>Außerdem erstellt mit %1 (&lt;b&gt;Unicode-Lizenz&lt;/b&gt;), %2 (&lt;b&gt;MIT-Lizenz&lt;/b&gt;), %3 (&lt;b&gt;Apache-Lizenz 2.0&lt;/b&gt;), %4 (&lt;b&gt;BSD-Lizenz&lt;/b&gt;), %5 (&lt;b&gt;libpng-Lizenz&lt;/b&gt;) und %6 (&lt;b&gt;MIT-Lizenz&lt;/b&gt;).</translation>
    </message>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="74"/>
        <source>The two concrete rooms are Kadrel&apos;s own: modelled and lit by its bake tool, with %1 (&lt;b&gt;Apache licence 2.0&lt;/b&gt;) and %2 (&lt;b&gt;MIT licence&lt;/b&gt;).</source>
        <translation>Die zwei Betonräume sind Kadrels eigene: modelliert und beleuchtet von seinem Bake-Werkzeug, mit %1 (&lt;b&gt;Apache-Lizenz 2.0&lt;/b&gt;) und %2 (&lt;b&gt;MIT-Lizenz&lt;/b&gt;).</translation>
    </message>
    <message>
        <location filename="../ui/AboutWindow.cpp" line="79"/>
        <source>Fonts are from the %1: &lt;i&gt;Abril Fatface&lt;/i&gt;, &lt;i&gt;Baloo 2&lt;/i&gt;, &lt;i&gt;Black Ops One&lt;/i&gt;, &lt;i&gt;Limelight&lt;/i&gt; and &lt;i&gt;Oswald&lt;/i&gt;, used according to the &lt;b&gt;SIL Open Font License&lt;/b&gt;.</source>
        <translation>Die Schriften stammen vom %1: &lt;i&gt;Abril Fatface&lt;/i&gt;, &lt;i&gt;Baloo 2&lt;/i&gt;, &lt;i&gt;Black Ops One&lt;/i&gt;, &lt;i&gt;Limelight&lt;/i&gt; und &lt;i&gt;Oswald&lt;/i&gt;, verwendet gemäß der &lt;b&gt;SIL Open Font License&lt;/b&gt;.</translation>
    </message>
</context>
<context>
    <name>app::AppState</name>
    <message>
        <location filename="../ui/AppState.cpp" line="27"/>
        <source>Disable</source>
        <translation>Deaktivieren</translation>
    </message>
    <message>
        <location filename="../ui/AppState.cpp" line="27"/>
        <source>Enable</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <location filename="../ui/AppState.cpp" line="212"/>
        <source>Settings…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <location filename="../ui/AppState.cpp" line="215"/>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <location filename="../ui/AppState.cpp" line="217"/>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>app::SettingsWindow</name>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="50"/>
        <source>12 hours short (9:27)</source>
        <translation>12 Stunden kurz (9:27)</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="51"/>
        <source>12 hours long (09:27)</source>
        <translation>12 Stunden lang (09:27)</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="52"/>
        <source>24 hours short (6:27)</source>
        <translation>24 Stunden kurz (6:27)</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="53"/>
        <source>24 hours long (21:27)</source>
        <translation>24 Stunden lang (21:27)</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="72"/>
        <source>&lt;Unknown name&gt;</source>
        <translation>&lt;Unbekannter Name&gt;</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="114"/>
        <source>Kadrel Settings</source>
        <translation>Kadrel-Einstellungen</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="118"/>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="120"/>
        <source>Scene</source>
        <translation>Szene</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="122"/>
        <source>Clock</source>
        <translation>Uhr</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="199"/>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="208"/>
        <source>Frame rate</source>
        <translation>Bildrate</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="214"/>
        <source>Frames per second</source>
        <translation>Bilder pro Sekunde</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="223"/>
        <source>Limit FPS on battery</source>
        <translation>Bildrate im Akkubetrieb begrenzen</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="226"/>
        <source>Minimal FPS in Low Power mode</source>
        <translation>Minimale Bildrate im Energiesparmodus</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="231"/>
        <source>Display</source>
        <translation>Bildschirm</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="234"/>
        <source>Show on</source>
        <translation>Anzeigen auf</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="243"/>
        <source>Show on all spaces</source>
        <translation>Auf allen Arbeitsflächen anzeigen</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="244"/>
        <source>Show the wallpaper on every workspace</source>
        <translation>Das Hintergrundbild auf jeder Arbeitsfläche zeigen</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="247"/>
        <source>Pause when covered</source>
        <translation>Pausieren, wenn verdeckt</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="249"/>
        <source>Stop drawing while full-screen or maximised windows hide the wallpaper</source>
        <translation>Nicht zeichnen, solange Vollbild- oder maximierte Fenster das Hintergrundbild verdecken</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="256"/>
        <location filename="../ui/SettingsWindow.cpp" line="384"/>
        <source>Hide menu bar icon</source>
        <translation>Symbol in der Menüleiste ausblenden</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="274"/>
        <source>Vignette</source>
        <translation>Vignette</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="275"/>
        <source>Photographic vignette in the corners of scene</source>
        <translation>Fotografische Vignette in den Ecken der Szene</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="282"/>
        <source>Camera movement - larger value is slower</source>
        <translation>Kamerabewegung – ein größerer Wert ist langsamer</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="284"/>
        <source>Movement Speed</source>
        <translation>Bewegungsgeschwindigkeit</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="306"/>
        <source>Enable clock</source>
        <translation>Uhr anzeigen</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="320"/>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="327"/>
        <source>Time format</source>
        <translation>Zeitformat</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="331"/>
        <source>Opacity</source>
        <translation>Deckkraft</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="344"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="378"/>
        <source>A monitor not connected now</source>
        <translation>Ein derzeit nicht angeschlossener Monitor</translation>
    </message>
    <message>
        <location filename="../ui/SettingsWindow.cpp" line="385"/>
        <source>If you need to access the app menu, launch the app again to reveal the menu bar icon for 5 seconds.</source>
        <translation>Wenn Sie das Menü der App brauchen, starten Sie die App erneut: Das Symbol in der Menüleiste erscheint dann für 5 Sekunden.</translation>
    </message>
</context>
</TS>
