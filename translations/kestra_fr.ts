<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Kestra de la TVA : registre des ventes en suspension de TVA.</source>
        <translation>Kestra de la TVA : registre des ventes en suspension de TVA.</translation>
    </message>
    <message>
        <source>Argument inattendu : %1</source>
        <translation>Argument inattendu : %1</translation>
    </message>
</context>
<context>
    <name>Config</name>
    <message>
        <source>La configuration n&apos;a pas pu être enregistrée dans %1 : %2</source>
        <translation>La configuration n&apos;a pas pu être enregistrée dans %1 : %2</translation>
    </message>
    <message>
        <source>le fichier existe déjà.</source>
        <translation>le fichier existe déjà.</translation>
    </message>
    <message>
        <source>le dossier ne peut pas être créé.</source>
        <translation>le dossier ne peut pas être créé.</translation>
    </message>
    <message>
        <source>le fichier ne peut pas être écrit.</source>
        <translation>le fichier ne peut pas être écrit.</translation>
    </message>
</context>
<context>
    <name>FirstStartDialog</name>
    <message>
        <source>Créer la base de &amp;démonstration : une société, ses clients et ses factures d&apos;exemple</source>
        <translation>Créer la base de &amp;démonstration : une société, ses clients et ses factures d&apos;exemple</translation>
    </message>
    <message>
        <source>Créer une base &amp;vide</source>
        <translation>Créer une base &amp;vide</translation>
    </message>
    <message>
        <source>Parcourir…</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>&amp;Utiliser une base existante : un dossier de ce poste ou un serveur (serveur:/dossier)</source>
        <translation>&amp;Utiliser une base existante : un dossier de ce poste ou un serveur (serveur:/dossier)</translation>
    </message>
    <message>
        <source>&amp;Continuer</source>
        <translation>&amp;Continuer</translation>
    </message>
    <message>
        <source>&amp;Quitter</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Kestra de la TVA – première utilisation</source>
        <translation>Kestra de la TVA – première utilisation</translation>
    </message>
    <message>
        <source>&lt;b&gt;Bienvenue dans Kestra de la TVA.&lt;/b&gt;&lt;br&gt;Aucune base de données n&apos;est encore indiquée à ce poste. Où Kestra doit-il travailler ?</source>
        <translation>&lt;b&gt;Bienvenue dans Kestra de la TVA.&lt;/b&gt;&lt;br&gt;Aucune base de données n&apos;est encore indiquée à ce poste. Où Kestra doit-il travailler ?</translation>
    </message>
    <message>
        <source>Dossier de la &amp;nouvelle base :</source>
        <translation>Dossier de la &amp;nouvelle base :</translation>
    </message>
    <message>
        <source>D&amp;ossier ou serveur de la base :</source>
        <translation>D&amp;ossier ou serveur de la base :</translation>
    </message>
    <message>
        <source>/srv/kestra ou serveur:/srv/kestra</source>
        <translation>/srv/kestra ou serveur:/srv/kestra</translation>
    </message>
    <message>
        <source>La réponse sera enregistrée dans %1.</source>
        <translation>La réponse sera enregistrée dans %1.</translation>
    </message>
    <message>
        <source>Dossier de la base</source>
        <translation>Dossier de la base</translation>
    </message>
    <message>
        <source>Indiquez le dossier de la base.</source>
        <translation>Indiquez le dossier de la base.</translation>
    </message>
    <message>
        <source>Le dossier %1 contient déjà une base Kestra. Elle n&apos;est pas remplacée : choisissez « Utiliser une base existante » pour l&apos;ouvrir, ou un autre dossier.</source>
        <translation>Le dossier %1 contient déjà une base Kestra. Elle n&apos;est pas remplacée : choisissez « Utiliser une base existante » pour l&apos;ouvrir, ou un autre dossier.</translation>
    </message>
    <message>
        <source>Le dossier %1 ne contient pas de base Kestra (%2).</source>
        <translation>Le dossier %1 ne contient pas de base Kestra (%2).</translation>
    </message>
    <message>
        <source>La base %1 ne peut pas être ouverte :
%2</source>
        <translation>La base %1 ne peut pas être ouverte :
%2</translation>
    </message>
</context>
<context>
    <name>ImportMessages</name>
    <message>
        <source>Field &apos;%1&apos; must have a value</source>
        <translation>Le champ « %1 » doit avoir une valeur</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Impossible d&apos;ouvrir le fichier « %1 ». %2</translation>
    </message>
    <message>
        <source>DataSet is not defined</source>
        <translation>La table de destination n&apos;est pas définie</translation>
    </message>
    <message>
        <source>Unknown field type</source>
        <translation>Type de champ inconnu</translation>
    </message>
    <message>
        <source>Wrong date format &quot;%s&quot;</source>
        <translation>Format de date incorrect « %s »</translation>
    </message>
    <message>
        <source>Date or time format &quot;%s&quot; refers to itself</source>
        <translation>Le format de date ou d&apos;heure « %s » renvoie à lui-même</translation>
    </message>
    <message>
        <source>DBGrid is not defined</source>
        <translation>La grille de destination n&apos;est pas définie</translation>
    </message>
    <message>
        <source>ListView is not defined</source>
        <translation>La liste de destination n&apos;est pas définie</translation>
    </message>
    <message>
        <source>StrinGrid is not defined</source>
        <translation>Le tableau de destination n&apos;est pas défini</translation>
    </message>
    <message>
        <source>File name is not specified</source>
        <translation>Le nom du fichier n&apos;est pas indiqué</translation>
    </message>
    <message>
        <source>File %s does not exist</source>
        <translation>Le fichier %s n&apos;existe pas</translation>
    </message>
    <message>
        <source>Map is empty</source>
        <translation>Aucune correspondance de colonnes n&apos;est définie</translation>
    </message>
    <message>
        <source>Column %s is defined in the MAP is not found in the import destination</source>
        <translation>La colonne %s de la correspondance est introuvable dans la destination de l&apos;importation</translation>
    </message>
    <message>
        <source>Key columns are not defined</source>
        <translation>Les colonnes clés ne sont pas définies</translation>
    </message>
    <message>
        <source>Key column %s is not found in the import destination</source>
        <translation>La colonne clé %s est introuvable dans la destination de l&apos;importation</translation>
    </message>
    <message>
        <source>True</source>
        <translation>True</translation>
    </message>
    <message>
        <source>False</source>
        <translation>False</translation>
    </message>
    <message>
        <source>Null</source>
        <translation>Null</translation>
    </message>
    <message>
        <source>%s - Import process started</source>
        <translation>%s - Début de l&apos;importation</translation>
    </message>
    <message>
        <source>%s - Import process finished</source>
        <translation>%s - Fin de l&apos;importation</translation>
    </message>
    <message>
        <source>%d error(s) found</source>
        <translation>%d erreur(s) trouvée(s)</translation>
    </message>
    <message>
        <source>%d value(s) could not be converted</source>
        <translation>%d valeur(s) n&apos;ont pas pu être converties</translation>
    </message>
    <message>
        <source>No error found</source>
        <translation>Aucune erreur</translation>
    </message>
    <message>
        <source>%s - Line %d: %s</source>
        <translation>%s - Ligne %d : %s</translation>
    </message>
    <message>
        <source>Missing definition of map</source>
        <translation>La correspondance des colonnes n&apos;est pas définie</translation>
    </message>
    <message>
        <source>Value &quot;%s&quot; holds &quot;%s&quot; (U+%s), a character the database cannot store</source>
        <translation>La valeur « %s » contient « %s » (U+%s), un caractère que la base ne peut pas enregistrer</translation>
    </message>
    <message>
        <source>Unknown import source</source>
        <translation>Source d&apos;importation inconnue</translation>
    </message>
    <message>
        <source>Wrong file type, must be &quot;%s&quot;</source>
        <translation>Type de fichier incorrect : « %s » attendu</translation>
    </message>
    <message>
        <source>Cannot perform this operation on a closed Import Destination</source>
        <translation>Opération impossible : la destination de l&apos;importation est fermée</translation>
    </message>
    <message>
        <source>Property AllowedImports can not contain empty set</source>
        <translation>Au moins une source d&apos;importation doit être permise</translation>
    </message>
    <message>
        <source>XML field list is empty</source>
        <translation>La liste des champs XML est vide</translation>
    </message>
    <message>
        <source>Text to find must be defined</source>
        <translation>Indiquez le texte à rechercher</translation>
    </message>
    <message>
        <source>Text files (*.txt)|*.txt|All files (*.*)|*.*</source>
        <translation>Fichiers texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*</translation>
    </message>
    <message>
        <source>CSV files (*.csv)|*.csv|All files (*.*)|*.*</source>
        <translation>Fichiers CSV (*.csv)|*.csv|Tous les fichiers (*.*)|*.*</translation>
    </message>
    <message>
        <source>DBF files (*.dbf)|*.dbf|All files (*.*)|*.*</source>
        <translation>Tables dBase (*.dbf)|*.dbf|Tous les fichiers (*.*)|*.*</translation>
    </message>
    <message>
        <source>XML files (*.xml)|*.xml|All files (*.*)|*.*</source>
        <translation>Fichiers XML (*.xml)|*.xml|Tous les fichiers (*.*)|*.*</translation>
    </message>
    <message>
        <source>Workbooks (*.xls;*.xlsx;*.xlsm;*.ods)|*.xls;*.xlsx;*.xlsm;*.ods|Microsoft Excel 97-2003 (*.xls)|*.xls|Microsoft Excel (*.xlsx;*.xlsm)|*.xlsx;*.xlsm|OpenDocument spreadsheets (*.ods)|*.ods|All files (*.*)|*.*</source>
        <translation>Classeurs (*.xls;*.xlsx;*.xlsm;*.ods)|*.xls;*.xlsx;*.xlsm;*.ods|Microsoft Excel 97-2003 (*.xls)|*.xls|Microsoft Excel (*.xlsx;*.xlsm)|*.xlsx;*.xlsm|Classeurs OpenDocument (*.ods)|*.ods|Tous les fichiers (*.*)|*.*</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Chargement...</translation>
    </message>
    <message>
        <source>Import data wizard</source>
        <translation>Assistant d&apos;importation des données</translation>
    </message>
    <message>
        <source>Import from</source>
        <translation>Importer depuis</translation>
    </message>
    <message>
        <source>Spreadsheet (xls, xlsx, ods)</source>
        <translation>Classeur (xls, xlsx, ods)</translation>
    </message>
    <message>
        <source>DBF</source>
        <translation>Table dBase (DBF)</translation>
    </message>
    <message>
        <source>XML</source>
        <translation>XML</translation>
    </message>
    <message>
        <source>Text file</source>
        <translation>Fichier texte</translation>
    </message>
    <message>
        <source>CSV file</source>
        <translation>Fichier CSV</translation>
    </message>
    <message>
        <source>Comma</source>
        <translation>Séparateur</translation>
    </message>
    <message>
        <source>Quote</source>
        <translation>Guillemet</translation>
    </message>
    <message>
        <source>Source file name</source>
        <translation>Fichier source</translation>
    </message>
    <message>
        <source>Are you sure...</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Are you sure you want to abort import?</source>
        <translation>Voulez-vous vraiment interrompre l&apos;importation ?</translation>
    </message>
    <message>
        <source>%d row(s) discarded, %d row(s) kept from intermediate commits</source>
        <translation>%d ligne(s) annulée(s), %d ligne(s) conservée(s) par les validations intermédiaires</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Do you want to quit?</source>
        <translation>Voulez-vous quitter l&apos;assistant ?</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&lt; &amp;Back</source>
        <translation>&lt; &amp;Précédent</translation>
    </message>
    <message>
        <source>&amp;Next &gt;</source>
        <translation>&amp;Suivant &gt;</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Execute</source>
        <translation>&amp;Exécuter</translation>
    </message>
    <message>
        <source>Step %d of %d</source>
        <translation>Étape %d sur %d</translation>
    </message>
    <message>
        <source> Template Options </source>
        <translation> Modèle </translation>
    </message>
    <message>
        <source>Go to the last page after loading template</source>
        <translation>Aller à la dernière page après le chargement du modèle</translation>
    </message>
    <message>
        <source>Save template automatically when wizard closes</source>
        <translation>Enregistrer le modèle à la fermeture de l&apos;assistant</translation>
    </message>
    <message>
        <source>Load template from file...</source>
        <translation>Charger un modèle...</translation>
    </message>
    <message>
        <source>Save template to file...</source>
        <translation>Enregistrer le modèle...</translation>
    </message>
    <message>
        <source>Commit Options</source>
        <translation>Validation</translation>
    </message>
    <message>
        <source> Commit </source>
        <translation> Validation </translation>
    </message>
    <message>
        <source>Commit when done</source>
        <translation>Valider à la fin</translation>
    </message>
    <message>
        <source>Commit after each</source>
        <translation>Valider toutes les</translation>
    </message>
    <message>
        <source>record(s)</source>
        <translation>ligne(s)</translation>
    </message>
    <message>
        <source> Record count </source>
        <translation> Nombre de lignes </translation>
    </message>
    <message>
        <source>Import all records</source>
        <translation>Importer toutes les lignes</translation>
    </message>
    <message>
        <source>Import only first</source>
        <translation>Importer seulement les</translation>
    </message>
    <message>
        <source>Close wizard after import</source>
        <translation>Fermer l&apos;assistant après l&apos;importation</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avancé</translation>
    </message>
    <message>
        <source> Add Type </source>
        <translation> Mode d&apos;ajout </translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Ajouter à la fin</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Insérer</translation>
    </message>
    <message>
        <source> Import Mode </source>
        <translation> Mode d&apos;importation </translation>
    </message>
    <message>
        <source>Insert All</source>
        <translation>Tout insérer</translation>
    </message>
    <message>
        <source>Insert New</source>
        <translation>Insérer les nouvelles</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mettre à jour</translation>
    </message>
    <message>
        <source>Update or Insert</source>
        <translation>Mettre à jour ou insérer</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Delete or Insert</source>
        <translation>Supprimer ou insérer</translation>
    </message>
    <message>
        <source>Available Columns</source>
        <translation>Colonnes disponibles</translation>
    </message>
    <message>
        <source>Key Columns</source>
        <translation>Colonnes clés</translation>
    </message>
    <message>
        <source> Error Log </source>
        <translation> Journal des erreurs </translation>
    </message>
    <message>
        <source>Enable error log</source>
        <translation>Tenir un journal des erreurs</translation>
    </message>
    <message>
        <source>Error Log File Name</source>
        <translation>Fichier du journal</translation>
    </message>
    <message>
        <source>Rewrite error log file if it exists</source>
        <translation>Remplacer le journal s&apos;il existe</translation>
    </message>
    <message>
        <source>Show error log after import</source>
        <translation>Afficher le journal après l&apos;importation</translation>
    </message>
    <message>
        <source>Base formats</source>
        <translation>Formats de base</translation>
    </message>
    <message>
        <source>Date and Time formats</source>
        <translation>Formats de date et d&apos;heure</translation>
    </message>
    <message>
        <source>Separators</source>
        <translation>Séparateurs</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Décimales</translation>
    </message>
    <message>
        <source>Thousand</source>
        <translation>Milliers</translation>
    </message>
    <message>
        <source>Short date</source>
        <translation>Date courte</translation>
    </message>
    <message>
        <source>Long date</source>
        <translation>Date longue</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Short time</source>
        <translation>Heure courte</translation>
    </message>
    <message>
        <source>Long time</source>
        <translation>Heure longue</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Boolean true</source>
        <translation>Valeurs « vrai »</translation>
    </message>
    <message>
        <source>Boolean false</source>
        <translation>Valeurs « faux »</translation>
    </message>
    <message>
        <source>Null Values</source>
        <translation>Valeurs nulles</translation>
    </message>
    <message>
        <source>Data formats</source>
        <translation>Formats des données</translation>
    </message>
    <message>
        <source>Fields</source>
        <translation>Champs</translation>
    </message>
    <message>
        <source>Tuning</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <source>Replacements</source>
        <translation>Remplacements</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Texte à rechercher</translation>
    </message>
    <message>
        <source>Replace with</source>
        <translation>Remplacer par</translation>
    </message>
    <message>
        <source>Ignore case</source>
        <translation>Ignorer la casse</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Add Replacement</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Edit Replacement</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Del Replacement</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Generator value</source>
        <translation>Valeur du compteur</translation>
    </message>
    <message>
        <source>Generator step</source>
        <translation>Pas du compteur</translation>
    </message>
    <message>
        <source>Constant value</source>
        <translation>Valeur constante</translation>
    </message>
    <message>
        <source>Null value</source>
        <translation>Valeur nulle</translation>
    </message>
    <message>
        <source>Default value</source>
        <translation>Valeur par défaut</translation>
    </message>
    <message>
        <source>Left quote</source>
        <translation>Guillemet gauche</translation>
    </message>
    <message>
        <source>Right quote</source>
        <translation>Guillemet droit</translation>
    </message>
    <message>
        <source>Quote action</source>
        <translation>Guillemets</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucune action</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Char case</source>
        <translation>Casse</translation>
    </message>
    <message>
        <source>As Is</source>
        <translation>Inchangé</translation>
    </message>
    <message>
        <source>Upper</source>
        <translation>Majuscules</translation>
    </message>
    <message>
        <source>Lower</source>
        <translation>Minuscules</translation>
    </message>
    <message>
        <source>Upper first</source>
        <translation>Initiales en majuscule</translation>
    </message>
    <message>
        <source>Upper first word</source>
        <translation>Premier mot en majuscule</translation>
    </message>
    <message>
        <source>Char set</source>
        <translation>Jeu de caractères</translation>
    </message>
    <message>
        <source>Ansi</source>
        <translation>ANSI</translation>
    </message>
    <message>
        <source>Oem</source>
        <translation>OEM</translation>
    </message>
    <message>
        <source>Replacement</source>
        <translation>Remplacement</translation>
    </message>
    <message>
        <source>P</source>
        <translation>P</translation>
    </message>
    <message>
        <source>S</source>
        <translation>T</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Skip line(s)</source>
        <translation>Lignes à sauter</translation>
    </message>
    <message>
        <source>Double click to add or remove column separators. Click at the area between separators to define the imported column.</source>
        <translation>Double-cliquez pour ajouter ou retirer un séparateur de colonnes. Cliquez entre deux séparateurs pour désigner la colonne importée.</translation>
    </message>
    <message>
        <source>Col Number</source>
        <translation>N° de colonne</translation>
    </message>
    <message>
        <source>Auto fill</source>
        <translation>Associer auto.</translation>
    </message>
    <message>
        <source>Column_%d</source>
        <translation>Colonne_%d</translation>
    </message>
    <message>
        <source>Select field name from the list box, then click at the column to import this field to.</source>
        <translation>Choisissez un champ dans la liste, puis cliquez sur la colonne à importer dans ce champ.</translation>
    </message>
    <message>
        <source>Skip Deleted Rows</source>
        <translation>Ignorer les lignes supprimées</translation>
    </message>
    <message>
        <source>Click the &quot;Add&quot; button to set the accordance between the imported column and the table field or click the &quot;Remove&quot; button to remove one.</source>
        <translation>Cliquez sur « Ajouter » pour associer la colonne importée au champ de la table, ou sur « Retirer » pour supprimer une association.</translation>
    </message>
    <message>
        <source>Write on Fly</source>
        <translation>Écrire pendant la lecture</translation>
    </message>
    <message>
        <source>Ranges</source>
        <translation>Plages</translation>
    </message>
    <message>
        <source>Add Range</source>
        <translation>Ajouter une plage</translation>
    </message>
    <message>
        <source>Edit Range</source>
        <translation>Modifier la plage</translation>
    </message>
    <message>
        <source>Del Range</source>
        <translation>Supprimer la plage</translation>
    </message>
    <message>
        <source>Move Range Up</source>
        <translation>Monter la plage</translation>
    </message>
    <message>
        <source>Move Range Down</source>
        <translation>Descendre la plage</translation>
    </message>
    <message>
        <source>Skip col(s)</source>
        <translation>Colonnes à sauter</translation>
    </message>
    <message>
        <source>Skip row(s)</source>
        <translation>Lignes à sauter</translation>
    </message>
    <message>
        <source>Auto fill cols</source>
        <translation>Remplir colonnes</translation>
    </message>
    <message>
        <source>Auto fill rows</source>
        <translation>Remplir lignes</translation>
    </message>
    <message>
        <source>Clear field ranges</source>
        <translation>Vider le champ</translation>
    </message>
    <message>
        <source>Clear all ranges</source>
        <translation>Tout vider</translation>
    </message>
    <message>
        <source>Use the Range Editor to add/edit ranges or click individual cells with Shift or Ctrl pressed. Press Enter to apply selection or Escape to cancel.</source>
        <translation>Utilisez l&apos;éditeur de plages pour ajouter ou modifier des plages, ou cliquez sur les cellules en tenant Maj ou Ctrl enfoncée. Entrée applique la sélection, Échap l&apos;annule.</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Plage</translation>
    </message>
    <message>
        <source> Range Type </source>
        <translation> Type de plage </translation>
    </message>
    <message>
        <source>Col</source>
        <translation>Colonne</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>Ligne</translation>
    </message>
    <message>
        <source>Cell</source>
        <translation>Cellule</translation>
    </message>
    <message>
        <source> Start </source>
        <translation> Début </translation>
    </message>
    <message>
        <source>Where data started</source>
        <translation>Au début des données</translation>
    </message>
    <message>
        <source>Start Col</source>
        <translation>Colonne de début</translation>
    </message>
    <message>
        <source>Start Row</source>
        <translation>Ligne de début</translation>
    </message>
    <message>
        <source> Finish </source>
        <translation> Fin </translation>
    </message>
    <message>
        <source>Where data finished</source>
        <translation>À la fin des données</translation>
    </message>
    <message>
        <source>Finish Col</source>
        <translation>Colonne de fin</translation>
    </message>
    <message>
        <source>Finish Row</source>
        <translation>Ligne de fin</translation>
    </message>
    <message>
        <source> Direction </source>
        <translation> Sens </translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Vers le bas</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Vers le haut</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Vers la droite</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Vers la gauche</translation>
    </message>
    <message>
        <source> Sheet </source>
        <translation> Feuille </translation>
    </message>
    <message>
        <source>Default Sheet</source>
        <translation>Feuille par défaut</translation>
    </message>
    <message>
        <source>Custom Sheet</source>
        <translation>Autre feuille</translation>
    </message>
    <message>
        <source>Sheet Number</source>
        <translation>Numéro de feuille</translation>
    </message>
    <message>
        <source>Sheet Name</source>
        <translation>Nom de feuille</translation>
    </message>
    <message>
        <source>Encoding</source>
        <translation>Codage</translation>
    </message>
    <message>
        <source>Windows-1252 (ANSI)</source>
        <translation>Windows-1252 (ANSI)</translation>
    </message>
    <message>
        <source>UTF-8</source>
        <translation>UTF-8</translation>
    </message>
    <message>
        <source>OEM 850 (DOS)</source>
        <translation>OEM 850 (DOS)</translation>
    </message>
    <message>
        <source>File %s holds no rows</source>
        <translation>Le fichier %s ne contient aucune ligne</translation>
    </message>
    <message>
        <source>File %s does not have what these columns were mapped to; they are no longer mapped: %s</source>
        <translation>Le fichier %s n&apos;a plus les colonnes auxquelles ces champs étaient associés ; ils ne le sont plus : %s</translation>
    </message>
    <message>
        <source>No program could show the error log. It is %s</source>
        <translation>Aucun programme n&apos;a pu afficher le journal des erreurs. Il se trouve ici : %s</translation>
    </message>
    <message>
        <source>File %1 cannot be written</source>
        <translation>Le fichier %1 ne peut pas être écrit</translation>
    </message>
    <message>
        <source>File open error</source>
        <translation>Erreur à l&apos;ouverture du fichier</translation>
    </message>
    <message>
        <source>File read error!</source>
        <translation>Erreur de lecture du fichier !</translation>
    </message>
    <message>
        <source>Table file is invalid!</source>
        <translation>Le fichier de la table n&apos;est pas valide !</translation>
    </message>
    <message>
        <source>File %1 is protected by a password</source>
        <translation>Le fichier %1 est protégé par un mot de passe</translation>
    </message>
    <message>
        <source>File %1 is neither an Excel nor an OpenDocument workbook</source>
        <translation>Le fichier %1 n&apos;est ni un classeur Excel ni un classeur OpenDocument</translation>
    </message>
    <message>
        <source>Line %1 is too long</source>
        <translation>La ligne %1 est trop longue</translation>
    </message>
    <message>
        <source>XML read with errors</source>
        <translation>Le fichier XML a été lu avec des erreurs</translation>
    </message>
    <message>
        <source>end of range</source>
        <translation>la fin de la plage</translation>
    </message>
    <message>
        <source>Column %d is out of range [%s..%s]</source>
        <translation>La colonne %d est hors des limites [%s..%s]</translation>
    </message>
    <message>
        <source>Row %d is out of range [%d..%d]</source>
        <translation>La ligne %d est hors des limites [%d..%d]</translation>
    </message>
    <message>
        <source>Col is empty</source>
        <translation>La colonne n&apos;est pas indiquée</translation>
    </message>
    <message>
        <source>So long col definition</source>
        <translation>Définition de colonne trop longue</translation>
    </message>
    <message>
        <source>Letter expected but %s found (position %d)</source>
        <translation>Lettre attendue, trouvé %s (position %d)</translation>
    </message>
    <message>
        <source>Row is empty</source>
        <translation>La ligne n&apos;est pas indiquée</translation>
    </message>
    <message>
        <source>So long row definition</source>
        <translation>Définition de ligne trop longue</translation>
    </message>
    <message>
        <source>Number expected but %s found (position %d)</source>
        <translation>Nombre attendu, trouvé %s (position %d)</translation>
    </message>
    <message>
        <source>Cell is empty</source>
        <translation>La cellule n&apos;est pas indiquée</translation>
    </message>
    <message>
        <source>So long cell definition</source>
        <translation>Définition de cellule trop longue</translation>
    </message>
    <message>
        <source>Sheet is empty</source>
        <translation>La feuille n&apos;est pas indiquée</translation>
    </message>
    <message>
        <source>So long sheet definition</source>
        <translation>Définition de feuille trop longue</translation>
    </message>
    <message>
        <source>Illegal char %s in sheet name at position %d</source>
        <translation>Caractère interdit %s dans le nom de feuille (position %d)</translation>
    </message>
    <message>
        <source>Sheet number %d is not found in the source file</source>
        <translation>La feuille n° %d est introuvable dans le fichier source</translation>
    </message>
    <message>
        <source>Sheet with name %s is not found in the source file</source>
        <translation>La feuille nommée %s est introuvable dans le fichier source</translation>
    </message>
    <message>
        <source>Error reading Excel records. File invalid</source>
        <translation>Erreur de lecture des enregistrements Excel : le fichier n&apos;est pas valide</translation>
    </message>
    <message>
        <source>Error reading record</source>
        <translation>Erreur de lecture d&apos;un enregistrement</translation>
    </message>
    <message>
        <source>Record with ID 0x%s is invalid</source>
        <translation>L&apos;enregistrement d&apos;identifiant 0x%s n&apos;est pas valide</translation>
    </message>
    <message>
        <source>The workbook is too large to be read</source>
        <translation>Le classeur est trop volumineux pour être lu</translation>
    </message>
    <message>
        <source>File is saved with an invalid Excel version</source>
        <translation>Le fichier est enregistré dans une version d&apos;Excel non valide</translation>
    </message>
    <message>
        <source>Cannot access cell &apos;%s&apos; as type %s</source>
        <translation>Impossible de lire la cellule « %s » comme %s</translation>
    </message>
    <message>
        <source>Invalid Row (%d)</source>
        <translation>Ligne non valide (%d)</translation>
    </message>
    <message>
        <source>Invalid Column (%d)</source>
        <translation>Colonne non valide (%d)</translation>
    </message>
    <message>
        <source>Unsupported token 0x%s</source>
        <translation>Élément de formule non pris en charge 0x%s</translation>
    </message>
    <message>
        <source>Formula at Row %d, column %d is not supported. Token Id: 0x%s</source>
        <translation>La formule de la ligne %d, colonne %d n&apos;est pas prise en charge (élément 0x%s)</translation>
    </message>
    <message>
        <source>File %s is protected by a password</source>
        <translation>Le fichier %s est protégé par un mot de passe</translation>
    </message>
    <message>
        <source>File %s is not an Excel Workbook</source>
        <translation>Le fichier %s n&apos;est pas un classeur Excel</translation>
    </message>
    <message>
        <source>File name is not defined</source>
        <translation>Le nom du fichier n&apos;est pas indiqué</translation>
    </message>
    <message>
        <source>Cell %s is beyond the sheet</source>
        <translation>La cellule %s est hors de la feuille</translation>
    </message>
    <message>
        <source>The %s symbol at position %d is unknown</source>
        <translation>Le symbole %s à la position %d est inconnu</translation>
    </message>
    <message>
        <source>The symbol %s at position %d is unexpected</source>
        <translation>Le symbole %s à la position %d est inattendu</translation>
    </message>
    <message>
        <source>Unexpected end of range</source>
        <translation>Fin de plage inattendue</translation>
    </message>
    <message>
        <source>Expect %s but %s found</source>
        <translation>%s attendu, trouvé %s</translation>
    </message>
    <message>
        <source>Range %s is fail. It must be COL or ROW</source>
        <translation>La plage %s est incorrecte : elle doit être COL ou ROW</translation>
    </message>
    <message>
        <source>Row %d not found in the sheet %s</source>
        <translation>Ligne %d introuvable dans la feuille %s</translation>
    </message>
    <message>
        <source>Col %d not found in the sheet %s</source>
        <translation>Colonne %d introuvable dans la feuille %s</translation>
    </message>
    <message>
        <source>shared string %1 holds more than %2 characters</source>
        <translation>la chaîne partagée %1 contient plus de %2 caractères</translation>
    </message>
    <message>
        <source>cell %1 of sheet %2 names shared string %3, which does not exist</source>
        <translation>la cellule %1 de la feuille %2 renvoie à la chaîne partagée %3, qui n&apos;existe pas</translation>
    </message>
    <message>
        <source>File %1 is an Excel binary workbook (.xlsb): save it as .xlsx to import it</source>
        <translation>Le fichier %1 est un classeur Excel binaire (.xlsb) : enregistrez-le au format .xlsx pour l&apos;importer</translation>
    </message>
    <message>
        <source>sheet %1 has no part</source>
        <translation>la feuille %1 n&apos;a pas de contenu</translation>
    </message>
    <message>
        <source>Unexpected symbol %s at position %d</source>
        <translation>Symbole inattendu %s à la position %d</translation>
    </message>
    <message>
        <source>File %s not found</source>
        <translation>Fichier %s introuvable</translation>
    </message>
    <message>
        <source>Tag at position %d is not closed</source>
        <translation>La balise de la position %d n&apos;est pas fermée</translation>
    </message>
    <message>
        <source>Tag at position %d is too long</source>
        <translation>La balise de la position %d est trop longue</translation>
    </message>
    <message>
        <source>XML header failed</source>
        <translation>En-tête XML incorrect</translation>
    </message>
    <message>
        <source>Version attribute expected but $s found</source>
        <translation>Attribut « version » attendu</translation>
    </message>
    <message>
        <source>Unexpected attriute name %s</source>
        <translation>Nom d&apos;attribut inattendu %s</translation>
    </message>
    <message>
        <source>Tag %s is not closed</source>
        <translation>La balise %s n&apos;est pas fermée</translation>
    </message>
    <message>
        <source>it cannot be opened</source>
        <translation>il ne peut pas être ouvert</translation>
    </message>
    <message>
        <source>its zip container cannot be read</source>
        <translation>son conteneur zip est illisible</translation>
    </message>
    <message>
        <source>part %1 cannot be read</source>
        <translation>la partie %1 est illisible</translation>
    </message>
    <message>
        <source>File %1 is refused: part %2 inflates beyond %3 MB, too much for a file of this size</source>
        <translation>Le fichier %1 est refusé : sa partie %2 dépasse %3 Mo une fois décompressée, trop pour un fichier de cette taille</translation>
    </message>
    <message>
        <source>part %1 is too large</source>
        <translation>la partie %1 est trop volumineuse</translation>
    </message>
    <message>
        <source>part %1 is not valid XML (%2, line %3)</source>
        <translation>la partie %1 n&apos;est pas un XML valide (%2, ligne %3)</translation>
    </message>
    <message>
        <source>File %1 is damaged: %2</source>
        <translation>Le fichier %1 est endommagé : %2</translation>
    </message>
    <message>
        <source>part %1 is missing</source>
        <translation>la partie %1 manque</translation>
    </message>
    <message>
        <source>File %1 is refused: it holds more than %2 cells</source>
        <translation>Le fichier %1 est refusé : il contient plus de %2 cellules</translation>
    </message>
    <message>
        <source>File %1 cannot be imported: cell %2 of sheet %3 holds more than %4 characters</source>
        <translation>Le fichier %1 ne peut pas être importé : la cellule %2 de la feuille %3 contient plus de %4 caractères</translation>
    </message>
    <message>
        <source>File %1 cannot be imported: sheet %2 holds data in cell %3, beyond row 65536 or column IV</source>
        <translation>Le fichier %1 ne peut pas être importé : la feuille %2 contient des données en %3, au-delà de la ligne 65536 ou de la colonne IV</translation>
    </message>
    <message>
        <source>Cannot create directory &quot;%1&quot;</source>
        <translation>Impossible de créer le dossier « %1 »</translation>
    </message>
    <message>
        <source>%s - corresponding tag not found</source>
        <translation>%s - balise correspondante introuvable</translation>
    </message>
</context>
<context>
    <name>ImportOptionsPage</name>
    <message>
        <source>Log files (*.log);;All files (*)</source>
        <translation>Journaux (*.log);;Tous les fichiers (*)</translation>
    </message>
</context>
<context>
    <name>ImportProgress</name>
    <message>
        <source>Importing...</source>
        <translation>Importation en cours...</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Processed</source>
        <translation>Traitées</translation>
    </message>
    <message>
        <source>Inserted</source>
        <translation>Insérées</translation>
    </message>
    <message>
        <source>Updated</source>
        <translation>Modifiées</translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation>Supprimées</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Erreurs</translation>
    </message>
    <message>
        <source>Commited</source>
        <translation>Validées</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Preparing...</source>
        <translation>Préparation...</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>En pause</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>Interrompue</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Terminée</translation>
    </message>
    <message>
        <source>Import finished</source>
        <translation>Importation terminée</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ImportScreen</name>
    <message>
        <source>Table à Importer</source>
        <translation>Table à importer</translation>
    </message>
    <message>
        <source>Use before post event</source>
        <translation>Traitement avant l&apos;enregistrement</translation>
    </message>
    <message>
        <source>Vider la Table</source>
        <translation>Vider la table</translation>
    </message>
    <message>
        <source>Imporation des Données</source>
        <translation>Importation des données</translation>
    </message>
    <message>
        <source>Importation</source>
        <translation>Importation</translation>
    </message>
    <message>
        <source>Veuillez importer les tables dans leur Ordre</source>
        <translation>Veuillez importer les tables dans leur ordre</translation>
    </message>
    <message>
        <source>Dataset</source>
        <translation>Jeu de données</translation>
    </message>
    <message>
        <source>DBGrid</source>
        <translation>Grille</translation>
    </message>
    <message>
        <source>ListView</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>StringGrid</source>
        <translation>Tableau</translation>
    </message>
    <message>
        <source>Une importation interrompue a laissé %1 facture(s) sans société ni numéro d&apos;ordre : elles n&apos;apparaissent dans aucun registre ni aucune déclaration.
%2

</source>
        <translation>Une importation interrompue a laissé %1 facture(s) sans société ni numéro d&apos;ordre : elles n&apos;apparaissent dans aucun registre ni aucune déclaration.
%2

</translation>
    </message>
    <message>
        <source>Voulez-vous les numéroter maintenant pour la société %1, exercice %2 ?</source>
        <translation>Voulez-vous les numéroter maintenant pour la société %1, exercice %2 ?</translation>
    </message>
    <message>
        <source>%1 facture(s) numérotée(s) pour la société %2, exercice %3.</source>
        <translation>%1 facture(s) numérotée(s) pour la société %2, exercice %3.</translation>
    </message>
    <message>
        <source>Voulez-vous supprimer ces %1 facture(s) ? Elles ne pourront pas être récupérées.</source>
        <translation>Voulez-vous supprimer ces %1 facture(s) ? Elles ne pourront pas être récupérées.</translation>
    </message>
    <message>
        <source>%1 facture(s) supprimée(s).</source>
        <translation>%1 facture(s) supprimée(s).</translation>
    </message>
    <message>
        <source>Copie de la base avant l&apos;importation</source>
        <translation>Copie de la base avant l&apos;importation</translation>
    </message>
    <message>
        <source>Aucune des factures de cette importation n&apos;a été enregistrée : %1</source>
        <translation>Aucune des factures de cette importation n&apos;a été enregistrée : %1</translation>
    </message>
    <message>
        <source>L&apos;importation interrompue n&apos;a pas pu être annulée : %1</source>
        <translation>L&apos;importation interrompue n&apos;a pas pu être annulée : %1</translation>
    </message>
    <message>
        <source>Voulez-vous vider la table ?</source>
        <translation>Voulez-vous vider la table ?</translation>
    </message>
</context>
<context>
    <name>NewDatabase</name>
    <message>
        <source>Impossible de créer le répertoire %1</source>
        <translation>Impossible de créer le répertoire %1</translation>
    </message>
</context>
<context>
    <name>PrintQueue</name>
    <message>
        <source>L&apos;imprimante « %1 » est introuvable (%2). L&apos;état n&apos;a pas été imprimé.</source>
        <translation>L&apos;imprimante « %1 » est introuvable (%2). L&apos;état n&apos;a pas été imprimé.</translation>
    </message>
    <message>
        <source>L&apos;imprimante « %1 » refuse les travaux d&apos;impression pour le moment. L&apos;état n&apos;a pas été imprimé.</source>
        <translation>L&apos;imprimante « %1 » refuse les travaux d&apos;impression pour le moment. L&apos;état n&apos;a pas été imprimé.</translation>
    </message>
    <message>
        <source>L&apos;impression sur « %1 » a échoué : %2
L&apos;état n&apos;a pas été imprimé.</source>
        <translation>L&apos;impression sur « %1 » a échoué : %2
L&apos;état n&apos;a pas été imprimé.</translation>
    </message>
</context>
<context>
    <name>QPrintPreviewDialog</name>
    <message>
        <source>Print</source>
        <translation>Imprimer</translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>Aucune imprimante ni aucun fichier n&apos;a été choisi.</source>
        <translation>Aucune imprimante ni aucun fichier n&apos;a été choisi.</translation>
    </message>
    <message>
        <source>L&apos;état a été enregistré dans le fichier %1.</source>
        <translation>L&apos;état a été enregistré dans le fichier %1.</translation>
    </message>
</context>
<context>
    <name>WizardWindow</name>
    <message>
        <source>Import templates (*.imp);;All files (*)</source>
        <translation>Modèles d&apos;importation (*.imp);;Tous les fichiers (*)</translation>
    </message>
</context>
</TS>
