<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>ProblemTexts</name>
    <message>
        <source>Cannot read &quot;%1&quot;: %2. Formulas are not added to this history until it can be read.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2. Les formules ne sont plus ajoutées à cet historique tant qu&apos;il ne peut pas être lu.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2. Settings are not saved while it is there.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2. Les paramètres ne sont pas enregistrés tant que ce fichier s&apos;y trouve.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: %2</source>
        <translation>Impossible d&apos;écrire «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot open the report &quot;%1&quot;: %2. It is still written there after each Draw.</source>
        <translation>Impossible d&apos;ouvrir le rapport «&#xa0;%1&#xa0;»&#xa0;: %2. Il y est toujours écrit après chaque tracé.</translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;: %2.</source>
        <translation>Impossible d&apos;ouvrir «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Kurvana cannot find your documents folder: the HOME variable is not set.</source>
        <translation>Kurvana ne trouve pas votre dossier de documents&#xa0;: la variable HOME n&apos;est pas définie.</translation>
    </message>
    <message>
        <source>Kurvana cannot create its data folder &quot;%1&quot;: %2.</source>
        <translation>Kurvana ne peut pas créer son dossier de données «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Language file &quot;%1&quot; and those after it are left out: all language files together may not exceed %2 MiB.</source>
        <translation>Le fichier de langue «&#xa0;%1&#xa0;» et les suivants sont ignorés&#xa0;: l&apos;ensemble des fichiers de langue ne peut pas dépasser %2&#xa0;Mio.</translation>
    </message>
    <message>
        <source>Language file &quot;%1&quot; and those after it are left out: all language files together may not exceed %2 bytes.</source>
        <translation>Le fichier de langue «&#xa0;%1&#xa0;» et les suivants sont ignorés&#xa0;: l&apos;ensemble des fichiers de langue ne peut pas dépasser %2&#xa0;octets.</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c&apos;est un dossier</translation>
    </message>
    <message>
        <source>it is a named pipe</source>
        <translation>c&apos;est un tube nommé</translation>
    </message>
    <message>
        <source>it is a device</source>
        <translation>c&apos;est un périphérique</translation>
    </message>
    <message>
        <source>it is a socket</source>
        <translation>c&apos;est un socket</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>c&apos;est un lien symbolique</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>ce n&apos;est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>it is a folder, not replaced</source>
        <translation>c&apos;est un dossier, qui n&apos;est pas remplacé</translation>
    </message>
    <message>
        <source>it is a named pipe, not replaced</source>
        <translation>c&apos;est un tube nommé, qui n&apos;est pas remplacé</translation>
    </message>
    <message>
        <source>it is a device, not replaced</source>
        <translation>c&apos;est un périphérique, qui n&apos;est pas remplacé</translation>
    </message>
    <message>
        <source>it is a socket, not replaced</source>
        <translation>c&apos;est un socket, qui n&apos;est pas remplacé</translation>
    </message>
    <message>
        <source>it is a symbolic link, not replaced</source>
        <translation>c&apos;est un lien symbolique, qui n&apos;est pas remplacé</translation>
    </message>
    <message>
        <source>it is not a regular file, not replaced</source>
        <translation>ce n&apos;est pas un fichier ordinaire, il n&apos;est pas remplacé</translation>
    </message>
    <message>
        <source>it belongs to another user in a shared folder, not replaced</source>
        <translation>il appartient à un autre utilisateur dans un dossier partagé et n&apos;est pas remplacé</translation>
    </message>
    <message>
        <source>it is a link of another user in a shared folder, not followed</source>
        <translation>c&apos;est un lien d&apos;un autre utilisateur dans un dossier partagé, qui n&apos;est pas suivi</translation>
    </message>
    <message>
        <source>it was replaced by another file meanwhile</source>
        <translation>il a été remplacé entre-temps par un autre fichier</translation>
    </message>
    <message>
        <source>no copy of its present content can be kept while it is rewritten</source>
        <translation>aucune copie de son contenu actuel ne peut être conservée pendant sa réécriture</translation>
    </message>
    <message>
        <source>no file name</source>
        <translation>aucun nom de fichier</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB</source>
        <translation>il dépasse %1&#xa0;Mio</translation>
    </message>
    <message>
        <source>it is larger than %1 KiB</source>
        <translation>il dépasse %1&#xa0;Kio</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>il dépasse %1&#xa0;octets</translation>
    </message>
    <message>
        <source>it is larger than 1 byte</source>
        <translation>il dépasse 1&#xa0;octet</translation>
    </message>
    <message>
        <source>the picture is empty</source>
        <translation>l&apos;image est vide</translation>
    </message>
    <message>
        <source>the picture is too large for a BMP file</source>
        <translation>l&apos;image est trop grande pour un fichier BMP</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>mémoire insuffisante</translation>
    </message>
    <message>
        <source>a file of that name is in the way</source>
        <translation>un fichier de ce nom occupe la place</translation>
    </message>
    <message>
        <source>it is not a translation file</source>
        <translation>ce n&apos;est pas un fichier de traduction</translation>
    </message>
    <message>
        <source>%1; its previous content is kept in &quot;%2&quot;</source>
        <translation>%1&#xa0;; son contenu précédent est conservé dans «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>%1; its previous content could not be put back</source>
        <translation>%1&#xa0;; son contenu précédent n&apos;a pas pu être rétabli</translation>
    </message>
    <message>
        <source>%1; &quot;%2&quot; was put back as it was</source>
        <translation>%1&#xa0;; «&#xa0;%2&#xa0;» a été rétabli tel quel</translation>
    </message>
    <message>
        <source>%1; &quot;%2&quot; was written but could not be put back (%3)</source>
        <translation>%1&#xa0;; «&#xa0;%2&#xa0;» a été écrit mais n&apos;a pas pu être rétabli (%3)</translation>
    </message>
    <message>
        <source>%1 could not be started</source>
        <translation>%1 n&apos;a pas pu être lancé</translation>
    </message>
    <message>
        <source>the desktop has no program for it (%1 ended with status 3)</source>
        <translation>le bureau n&apos;a aucun programme pour l&apos;ouvrir (%1 s&apos;est terminé avec le code 3)</translation>
    </message>
    <message>
        <source>%1 ended with status %2</source>
        <translation>%1 s&apos;est terminé avec le code %2</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permission refusée</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>Opération non permise</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Aucun fichier ou dossier de ce nom</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Plus de place sur le périphérique</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Système de fichiers en lecture seule</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>C&apos;est un dossier</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Ce n&apos;est pas un dossier</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Dossier non vide</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Le fichier existe déjà</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Fichier trop volumineux</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Nom de fichier trop long</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Erreur d&apos;entrée-sortie</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Quota de disque dépassé</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Trop de niveaux de liens symboliques</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Trop de fichiers ouverts</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>Impossible d&apos;allouer de la mémoire</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Fichier exécutable en cours d&apos;utilisation</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Périphérique ou ressource occupé</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>Aucun périphérique ou adresse de ce type</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>Aucun périphérique de ce type</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Argument invalide</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Lien entre périphériques invalide</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Descripteur de fichier périmé</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>Opération non prise en charge</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>Ressource temporairement indisponible</translation>
    </message>
    <message>
        <source>Bad file descriptor</source>
        <translation>Descripteur de fichier invalide</translation>
    </message>
</context>
<context>
    <name>RoundButton</name>
    <message>
        <source>Draw</source>
        <translation>Tracer</translation>
    </message>
    <message>
        <source>Clear picture</source>
        <translation>Effacer l&apos;image</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Enregistrer l&apos;image</translation>
    </message>
    <message>
        <source>Previous formula</source>
        <translation>Formule précédente</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Web page</source>
        <translation>Page web</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Maximise</source>
        <translation>Agrandir</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::MainWindow</name>
    <message>
        <source>A new program version is available!
Do you want to download it now?</source>
        <translation>Une nouvelle version du programme est disponible&#xa0;!
Voulez-vous la télécharger maintenant&#xa0;?</translation>
    </message>
    <message>
        <source>Draw the formula (Enter)</source>
        <translation>Tracer la formule (Entrée)</translation>
    </message>
    <message>
        <source>Clear the picture</source>
        <translation>Effacer l&apos;image</translation>
    </message>
    <message>
        <source>Save the picture (Ctrl+S)</source>
        <translation>Enregistrer l&apos;image (Ctrl+S)</translation>
    </message>
    <message>
        <source>Previous formula from the history</source>
        <translation>Formule précédente de l&apos;historique</translation>
    </message>
    <message>
        <source>Zoom in on x (Ctrl++), with Shift, Alt or Ctrl held on y (Ctrl+Alt++)</source>
        <translation>Zoom avant sur x (Ctrl++), sur y avec Maj, Alt ou Ctrl enfoncée (Ctrl+Alt++)</translation>
    </message>
    <message>
        <source>Zoom out on x (Ctrl+-), with Shift, Alt or Ctrl held on y (Ctrl+Alt+-)</source>
        <translation>Zoom arrière sur x (Ctrl+-), sur y avec Maj, Alt ou Ctrl enfoncée (Ctrl+Alt+-)</translation>
    </message>
    <message>
        <source>Kurvana&apos;s web page</source>
        <translation>Page web de Kurvana</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Enregistrer l&apos;image</translation>
    </message>
    <message>
        <source>Copy picture</source>
        <translation>Copier l&apos;image</translation>
    </message>
    <message>
        <source>Clear picture</source>
        <translation>Effacer l&apos;image</translation>
    </message>
    <message>
        <source>Load function</source>
        <translation>Charger une fonction</translation>
    </message>
    <message>
        <source>Save function</source>
        <translation>Enregistrer la fonction</translation>
    </message>
    <message>
        <source>X zoom in</source>
        <translation>Zoom avant sur X</translation>
    </message>
    <message>
        <source>X zoom out</source>
        <translation>Zoom arrière sur X</translation>
    </message>
    <message>
        <source>Y zoom in</source>
        <translation>Zoom avant sur Y</translation>
    </message>
    <message>
        <source>Y zoom out</source>
        <translation>Zoom arrière sur Y</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Maximise or restore</source>
        <translation>Agrandir ou restaurer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Integral</source>
        <translation>Intégrale</translation>
    </message>
    <message>
        <source>Plot</source>
        <translation>Graphique</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Couper</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Coller</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Tout sélectionner</translation>
    </message>
    <message>
        <source>Bitmap picture</source>
        <translation>Image bitmap</translation>
    </message>
    <message>
        <source>Jpeg picture</source>
        <translation>Image JPEG</translation>
    </message>
    <message>
        <source>PNG picture</source>
        <translation>Image PNG</translation>
    </message>
    <message>
        <source>SVG picture</source>
        <translation>Image SVG</translation>
    </message>
    <message>
        <source>PDF document</source>
        <translation>Document PDF</translation>
    </message>
    <message>
        <source>Function files</source>
        <translation>Fichiers de fonction</translation>
    </message>
    <message>
        <source>Function file</source>
        <translation>Fichier de fonction</translation>
    </message>
    <message>
        <source>Any file</source>
        <translation>Tous les fichiers</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::MessageWindow</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::PaletteDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>R = %1</source>
        <extracomment>The red component of a colour, 0 to 255.</extracomment>
        <translation>R = %1</translation>
    </message>
    <message>
        <source>G = %1</source>
        <extracomment>The green component of a colour, 0 to 255.</extracomment>
        <translation>V = %1</translation>
    </message>
    <message>
        <source>B = %1</source>
        <extracomment>The blue component of a colour, 0 to 255.</extracomment>
        <translation>B = %1</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::SettingsDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
</TS>
